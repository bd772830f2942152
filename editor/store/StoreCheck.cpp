// Invariant check of the paragraph store.
#include "editor/store/StoreCheck.h"

#include <vector>

#include "platform/Exceptions.h"

namespace qm {
namespace {

[[noreturn]] void Fail(const char* code, const std::string& ident, int paragraph) {
  std::string where = ident;
  if (paragraph >= 0) where += " (paragraph " + std::to_string(paragraph) + ")";
  throw Exception(std::string(code) + where);
}

// Every paragraph without a buffer of its own points into a shared block, and
// each block counts exactly the paragraphs that do, in address order.
void VerifySharedText(const TParagraphsList& list, const std::string& ident) {
  const auto& blocks = list.TextBlocks;
  std::vector<int32_t> users(blocks.size(), 0);
  for (int i = 0; i < list.Count; ++i) {
    const TParagraphRec* r = list.Rec(i);
    if ((r->Flags & pfOwnText) || r->Text == nullptr) continue;
    const TParagraphsList::TextBlock* block = list.BlockOf(r->Text);
    if (block == nullptr || r->Text + list.Length(i) >= block->Data.get() + block->Size) Fail("Error 7 in ", ident, i);
    ++users[static_cast<size_t>(block - blocks.data())];
  }
  for (size_t b = 0; b < blocks.size(); ++b) {
    const bool ordered = b == 0 || blocks[b - 1].Data.get() + blocks[b - 1].Size <= blocks[b].Data.get();
    if (!ordered || users[b] == 0 || users[b] != blocks[b].Users) Fail("Error 8 in ", ident, -1);
  }
}

}  // namespace

void VerifyStore(const TParagraphsList& list, const std::string& ident) {
  int64_t lines = 0;
  int64_t offset = 0;
  for (int i = 0; i < list.Count; ++i) {
    if (list.StartLine(i) != lines) Fail("Error 1", ident, i);
    if (list.StartOffset(i) != offset) Fail("Error 2 in ", ident, i);
    const int count = list.LineCountOf(i);
    int32_t stop = 0;
    for (int l = 0; l < count; ++l) {
      const TLineInfo line = list.LineInfo(i, l);
      if (line.LineStart != stop) Fail("Error 3 in ", ident, i);
      stop = line.LineStop;
    }
    if (stop != list.Length(i)) Fail("Error 4 in ", ident, i);
    lines += count;
    offset += list.Length(i) + 2;
  }
  if (static_cast<int64_t>(list.TextLength) + 2 != offset) Fail("Error 5 in ", ident, -1);
  if (list.LineCount != lines) Fail("Error 6 in ", ident, -1);
  VerifySharedText(list, ident);
}

}  // namespace qm
