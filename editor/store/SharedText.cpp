// The blocks of text that many paragraphs share, and when they are freed.
#include <algorithm>

#include "editor/store/Paragraphs.h"

namespace qm {
namespace {

bool Before(const TParagraphsList::TextBlock& a, const TParagraphsList::TextBlock& b) {
  return a.Data.get() < b.Data.get();
}

// The first block that starts after text.
auto After(const std::vector<TParagraphsList::TextBlock>& blocks, const char16_t* text) {
  return std::upper_bound(blocks.begin(), blocks.end(), text,
                          [](const char16_t* t, const TParagraphsList::TextBlock& b) { return t < b.Data.get(); });
}

}  // namespace

const TParagraphsList::TextBlock* TParagraphsList::BlockOf(const char16_t* text) const {
  // Neighbouring paragraphs are mostly in one block: try the last one found.
  auto holds = [text](const TextBlock& b) { return b.Data.get() <= text && text < b.Data.get() + b.Size; };
  if (lastBlock_ < TextBlocks.size() && holds(TextBlocks[lastBlock_])) return &TextBlocks[lastBlock_];
  auto it = After(TextBlocks, text);
  if (it == TextBlocks.begin()) return nullptr;
  --it;
  // A paragraph's terminating zero may be the block's last character.
  if (!holds(*it)) return nullptr;
  lastBlock_ = static_cast<size_t>(it - TextBlocks.begin());
  return &*it;
}

void TParagraphsList::ReleaseSharedText(const char16_t* text) {
  const TextBlock* block = BlockOf(text);
  if (block == nullptr) return;
  auto it = TextBlocks.begin() + (block - TextBlocks.data());
  if (--it->Users == 0) TextBlocks.erase(it);
}

void TParagraphsList::SortTextBlocks() {
  std::erase_if(TextBlocks, [](const TextBlock& b) { return b.Users == 0; });
  std::sort(TextBlocks.begin(), TextBlocks.end(), Before);
}

void TParagraphsList::InsertTextBlock(TextBlock block) {
  const auto at = After(TextBlocks, block.Data.get());
  TextBlocks.insert(at, std::move(block));
}

}  // namespace qm
