// Loading UTF-16 text into the paragraph store (shared load blocks, no allocation per paragraph) and saving it.
#include <algorithm>
#include <chrono>
#include <cstring>

#include "editor/store/Paragraphs.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

constexpr int kShrinkBelow = 57313;  // a block used less than this is copied to an exact size

using Clock = std::chrono::steady_clock;

// Calls the progress callback when `interval` ms have passed since the last call.
class ProgressPacer {
 public:
  ProgressPacer(unsigned interval, const TParagraphsList::ProgressFn& fn)
      : interval_(interval), fn_(fn), last_(Clock::now()) {}
  void Tick() {
    if (!fn_) return;
    const auto now = Clock::now();
    if (now - last_ >= std::chrono::milliseconds(interval_)) {
      last_ = now;
      fn_();
    }
  }
  void Finish() {
    if (fn_) fn_();
  }

 private:
  unsigned interval_;
  const TParagraphsList::ProgressFn& fn_;
  Clock::time_point last_;
};

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

// One load: the stream read into blocks of text and cut into paragraphs.
class TParagraphsList::Loader {
 public:
  Loader(TParagraphsList& list, TStream& stream, char16_t nullReplacement, unsigned progressInterval,
         const ProgressFn& progress, bool discardTrailing)
      : list_(list),
        stream_(stream),
        nullReplacement_(nullReplacement),
        discardTrailing_(discardTrailing),
        pacer_(progressInterval, progress),
        origin_(stream.Position()),
        remaining_(std::max<int64_t>(0, (stream.Size() - origin_) / 2)) {}

  TPlusLineBreak Run() {
    list_.TextBlocks.push_back({std::unique_ptr<char16_t[]>(new char16_t[capacity_]), capacity_});
    block_ = list_.TextBlocks.back().Data.get();
    while (!ended_ && remaining_ > 0) {
      if (used_ + 1 >= capacity_) NextBlock();
      if (!ReadChunk()) break;
    }
    if (ended_) stream_.SetPosition(origin_ + taken_ * 2);
    // The text after the last break is the last paragraph.
    CloseParagraph(used_, 0);
    pacer_.Finish();
    return detected_;
  }

 private:
  // Every paragraph, the last one (with no break after it) included, is
  // closed here, so that none escapes the length check.
  void CloseParagraph(size_t stop, int32_t breakLength) {
    size_t length = stop - parStart_;
    if (discardTrailing_)
      while (length > 0 && IsBlank(block_[parStart_ + length - 1])) --length;
    block_[parStart_ + length] = 0;
    list_.CheckLength(static_cast<int64_t>(list_.TextLength) + static_cast<int64_t>(length) + breakLength);
    list_.AppendParagraph(block_ + parStart_, static_cast<int32_t>(length), parStartState_);
    ++list_.TextBlocks.back().Users;
    list_.TextLength += static_cast<int32_t>(length) + breakLength;
    if ((list_.Count & 15) == 0) pacer_.Tick();
  }

  // The block is full: the unfinished paragraph moves to a new block. Very
  // long lines grow the block geometrically so that a huge line loads in
  // linear time.
  void NextBlock() {
    const size_t unfinished = used_ - parStart_;
    const size_t nextCapacity = unfinished + std::max<size_t>(kLoadBlockChars, unfinished);
    std::unique_ptr<char16_t[]> next(new char16_t[nextCapacity]);
    if (unfinished > 0) std::memcpy(next.get(), block_ + parStart_, unfinished * 2);
    TextBlock& old = list_.TextBlocks.back();
    if (parStart_ == 0) {
      list_.TextBlocks.pop_back();
    } else if (parStart_ < kShrinkBelow) {
      ShrinkBlock(old);
    }
    list_.TextBlocks.push_back({std::move(next), nextCapacity});
    block_ = list_.TextBlocks.back().Data.get();
    capacity_ = nextCapacity;
    used_ = unfinished;
    parStart_ = 0;
    blockFirstPar_ = list_.Count;
  }

  // A block left mostly unused is copied to its exact size and its paragraphs pointed there.
  void ShrinkBlock(TextBlock& old) {
    std::unique_ptr<char16_t[]> exact(new char16_t[parStart_]);
    std::memcpy(exact.get(), block_, parStart_ * 2);
    const std::ptrdiff_t shift = exact.get() - block_;
    list_.ForRange(blockFirstPar_, list_.Count, [shift](uint8_t* p) {
      auto* r = reinterpret_cast<TParagraphRec*>(p);
      r->Text = r->Text + shift;
    });
    old.Data = std::move(exact);
    old.Size = parStart_;
  }

  // Reads what fits into the block and cuts it at breaks; false when the
  // stream gave nothing.
  bool ReadChunk() {
    const size_t room = std::min<int64_t>(static_cast<int64_t>(capacity_ - 1 - used_), remaining_);
    const size_t got = stream_.Read(block_ + used_, room * 2) / 2;
    if (got == 0) return false;
    remaining_ -= static_cast<int64_t>(got);
    const size_t stop = used_ + got;
    size_t i = used_;
    // A break split across two reads: its second character starts this one.
    if (complement_ != 0) {
      if (block_[i] == complement_) {
        detected_ = complement_ == u'\n' ? pbCRLF : pbLFCR;
        parStart_ = ++i;
      }
      complement_ = 0;
    }
    for (; i < stop; ++i) {
      const char16_t c = block_[i];
      if (c > 25) continue;
      if (c == 0) {
        if (nullReplacement_ == 0) {
          // A NUL ends the text.
          taken_ += static_cast<int64_t>(i - used_);
          used_ = i;
          ended_ = true;
          return true;
        }
        block_[i] = nullReplacement_;
        continue;
      }
      if (c == u'\r' || c == u'\n') {
        i = Break(i, stop);
        continue;
      }
      if (list_.StaticFormat) state_ ^= FormatCodeMask(c);
    }
    taken_ += static_cast<int64_t>(got);
    used_ = stop;
    return true;
  }

  // The break at i ends a paragraph; returns the index of its last character.
  size_t Break(size_t i, size_t stop) {
    const char16_t c = block_[i];
    CloseParagraph(i, 2);
    const char16_t other = c == u'\r' ? u'\n' : u'\r';
    detected_ = c == u'\r' ? pbCR : pbLF;
    if (i + 1 < stop) {
      if (block_[i + 1] == other) {
        detected_ = c == u'\r' ? pbCRLF : pbLFCR;
        ++i;
      }
    } else {
      complement_ = other;
    }
    parStart_ = i + 1;
    parStartState_ = state_;
    return i;
  }

  TParagraphsList& list_;
  TStream& stream_;
  const char16_t nullReplacement_;
  const bool discardTrailing_;
  ProgressPacer pacer_;
  const int64_t origin_;
  int64_t remaining_;  // characters the stream still holds
  TPlusLineBreak detected_ = pbCRLF;
  size_t capacity_ = kLoadBlockChars;
  char16_t* block_ = nullptr;
  int blockFirstPar_ = 0;  // first paragraph that points into block_
  size_t used_ = 0;        // characters in the block
  size_t parStart_ = 0;    // start of the unfinished paragraph in the block
  int64_t taken_ = 0;      // characters consumed from the stream
  uint8_t state_ = 0;      // format-code style state
  uint8_t parStartState_ = 0;
  char16_t complement_ = 0;  // the break character that would pair with the last break
  bool ended_ = false;
};

TPlusLineBreak TParagraphsList::LoadFromStream(TStream& stream, char16_t nullReplacement, unsigned progressInterval,
                                               const ProgressFn& progress, bool discardTrailing) {
  Clear();
  // Whatever happens, the counters describe the paragraphs that were read.
  struct Bookkeeping {
    TParagraphsList& list;
    ~Bookkeeping() {
      list.SortTextBlocks();
      if (list.Count == 0) list.AppendParagraph(nullptr, 0, 0);
      // A load stopped by an exception has counted a break after its last
      // paragraph; the text ends where that paragraph ends.
      const int last = list.Count - 1;
      list.TextLength = list.StartOffset(last) + list.Length(last);
      list.LineCount = list.Count;
      list.FormattedCount = 0;
      list.FormatLast = list.Count - 1;
      list.ScannedUpTo = -1;
      list.Changed = true;
    }
  } bookkeeping{*this};
  return Loader(*this, stream, nullReplacement, progressInterval, progress, discardTrailing).Run();
}

void TParagraphsList::SaveToStream(TStream& stream, bool removeEmptyCodePairs, unsigned progressInterval,
                                   const ProgressFn& progress, TPlusLineBreak lineBreak, bool discardTrailing) const {
  ProgressPacer pacer(progressInterval, progress);
  const std::u16string_view brk = LineBreakText(lineBreak);
  std::u16string buffer;
  buffer.reserve(1 << 15);
  std::u16string cleaned;
  auto flush = [&] {
    stream.Write(buffer.data(), buffer.size() * 2);
    buffer.clear();
  };
  for (int i = 0; i < Count; ++i) {
    std::u16string_view text = TextView(i);
    if (removeEmptyCodePairs && StaticFormat) {
      cleaned.assign(text);
      RemoveEmptyCodePairs(cleaned);
      text = cleaned;
    }
    if (discardTrailing)
      while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (text.size() > (1u << 15)) {
      flush();
      stream.Write(text.data(), text.size() * 2);
    } else {
      buffer.append(text);
    }
    if (i + 1 < Count) buffer.append(brk);
    if (buffer.size() >= (1u << 15)) flush();
    if ((i & 15) == 15) pacer.Tick();
  }
  flush();
  pacer.Finish();
}

}  // namespace qm
