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

TPlusLineBreak TParagraphsList::LoadFromStream(TStream& stream, char16_t nullReplacement,
                                               unsigned progressInterval, const ProgressFn& progress,
                                               bool discardTrailing) {
  Clear();
  // Whatever happens, the counters describe the paragraphs that were read.
  struct Bookkeeping {
    TParagraphsList& list;
    ~Bookkeeping() {
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

  const int64_t origin = stream.Position();
  int64_t remaining = std::max<int64_t>(0, (stream.Size() - origin) / 2);
  ProgressPacer pacer(progressInterval, progress);
  TPlusLineBreak detected = pbCRLF;

  size_t capacity = kLoadBlockChars;
  TextBlocks.push_back({std::unique_ptr<char16_t[]>(new char16_t[capacity]), capacity});
  char16_t* block = TextBlocks.back().Data.get();
  int blockFirstPar = 0;  // first paragraph that points into `block`
  size_t used = 0;        // characters in the block
  size_t parStart = 0;    // start of the unfinished paragraph in the block
  int64_t taken = 0;      // characters consumed from the stream
  uint8_t state = 0;      // format-code style state
  uint8_t parStartState = 0;
  char16_t complement = 0;  // the break character that would pair with the last break
  bool ended = false;

  // Every paragraph, the last one (with no break after it) included, is
  // closed here, so that none escapes the length check.
  auto closeParagraph = [&](size_t stop, int32_t breakLength) {
    size_t length = stop - parStart;
    if (discardTrailing)
      while (length > 0 && IsBlank(block[parStart + length - 1])) --length;
    block[parStart + length] = 0;
    CheckLength(static_cast<int64_t>(TextLength) + static_cast<int64_t>(length) + breakLength);
    AppendParagraph(block + parStart, static_cast<int32_t>(length), parStartState);
    TextLength += static_cast<int32_t>(length) + breakLength;
    if ((Count & 15) == 0) pacer.Tick();
  };

  while (!ended && remaining > 0) {
    if (used + 1 >= capacity) {
      // Full: move the unfinished paragraph to a new block. Very long lines
      // grow the block geometrically so that a huge line loads in linear time.
      const size_t unfinished = used - parStart;
      const size_t nextCapacity = unfinished + std::max<size_t>(kLoadBlockChars, unfinished);
      std::unique_ptr<char16_t[]> next(new char16_t[nextCapacity]);
      if (unfinished > 0) std::memcpy(next.get(), block + parStart, unfinished * 2);
      TextBlock& old = TextBlocks.back();
      if (parStart == 0) {
        TextBlocks.pop_back();
      } else if (parStart < kShrinkBelow) {
        std::unique_ptr<char16_t[]> exact(new char16_t[parStart]);
        std::memcpy(exact.get(), block, parStart * 2);
        const std::ptrdiff_t shift = exact.get() - block;
        ForRange(blockFirstPar, Count, [shift](uint8_t* p) {
          auto* r = reinterpret_cast<TParagraphRec*>(p);
          r->Text = r->Text + shift;
        });
        old.Data = std::move(exact);
        old.Size = parStart;
      }
      TextBlocks.push_back({std::move(next), nextCapacity});
      block = TextBlocks.back().Data.get();
      capacity = nextCapacity;
      used = unfinished;
      parStart = 0;
      blockFirstPar = Count;
    }
    const size_t room = std::min<int64_t>(static_cast<int64_t>(capacity - 1 - used), remaining);
    const size_t got = stream.Read(block + used, room * 2) / 2;
    if (got == 0) break;
    remaining -= static_cast<int64_t>(got);
    const size_t stop = used + got;
    size_t i = used;
    // A break split across two reads: its second character starts this one.
    if (complement != 0) {
      if (block[i] == complement) {
        detected = complement == u'\n' ? pbCRLF : pbLFCR;
        parStart = ++i;
      }
      complement = 0;
    }
    for (; i < stop; ++i) {
      const char16_t c = block[i];
      if (c > 25) continue;
      if (c == 0) {
        if (nullReplacement == 0) {
          taken += static_cast<int64_t>(i - used);
          used = i;
          ended = true;
          break;
        }
        block[i] = nullReplacement;
        continue;
      }
      if (c == u'\r' || c == u'\n') {
        closeParagraph(i, 2);
        const char16_t other = c == u'\r' ? u'\n' : u'\r';
        detected = c == u'\r' ? pbCR : pbLF;
        if (i + 1 < stop) {
          if (block[i + 1] == other) {
            detected = c == u'\r' ? pbCRLF : pbLFCR;
            ++i;
          }
        } else {
          complement = other;
        }
        parStart = i + 1;
        parStartState = state;
        continue;
      }
      if (StaticFormat) state ^= FormatCodeMask(c);
    }
    if (ended) break;
    taken += static_cast<int64_t>(got);
    used = stop;
  }
  if (ended) stream.SetPosition(origin + taken * 2);
  // The text after the last break is the last paragraph.
  closeParagraph(used, 0);
  pacer.Finish();
  return detected;
}

void TParagraphsList::SaveToStream(TStream& stream, bool removeEmptyCodePairs, unsigned progressInterval,
                                   const ProgressFn& progress, TPlusLineBreak lineBreak,
                                   bool discardTrailing) const {
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
