// The export core of TPlusToRTFU: header, colour table, and one line per paragraph with format groups where the style changes.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <unordered_map>

#include "editor/highlight/Scan.h"
#include "editor/store/Paragraphs.h"
#include "export/FormattedOutput.h"
#include "export/PlusToFormatU.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

constexpr int32_t kNever = INT32_MAX;
constexpr uint64_t kNoGroup = ~uint64_t{0};

void AppendNumber(std::string& out, int64_t n) { out += std::to_string(n); }

constexpr bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
constexpr bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

std::string_view AlignmentWords(const TLayoutSettings& layout) {
  if (layout.Justified) return "\\pard\\qj";
  switch (layout.Alignment) {
    case taRightJustify: return "\\pard\\qr";
    case taCenter: return "\\pard\\qc";
    default: return "\\pard\\ql";
  }
}

// The format-code state at the start of paragraph p.
uint8_t ParagraphStaticStyle(const TParagraphsList& list, int p) {
  const ParExtraInfo* extra = list.Extra(p);
  return extra != nullptr ? extra->StaticStyle : 0;
}

// The working data of one export.
class TRtfExport {
 public:
  TRtfExport(TPlusToRTFU& owner, TPlusMemoU& memo, TFormattedOutput& out)
      : owner_(owner),
        memo_(memo),
        list_(memo.Paragraphs()),
        layout_(memo.LayoutSettings),
        paint_(memo.PaintSettings),
        dyn_(owner.DynFormat),
        staticFormat_(memo.StaticFormat()),
        out_(out) {
    for (char16_t c = 0; c < 128; ++c) special_[c] = IsEscaped(c) || (staticFormat_ && FormatCodeMask(c) != 0);
  }

  void Run(int32_t from, int32_t to) {
    const int sPar = list_.ParagraphOfPosition(from);
    const int ePar = list_.ParagraphOfPosition(to);
    const int32_t sOff = std::min(from - list_.StartOffset(sPar), list_.Length(sPar));
    const int32_t eOff = std::min(to - list_.StartOffset(ePar), list_.Length(ePar));
    started_ = std::chrono::steady_clock::now();
    // The catch-up: spans up to the stop paragraph, then the keyword pass over
    // every paragraph of the range still lacking it. Paragraphs the background
    // formatting already did carry their flag and are skipped.
    if (dyn_) scan::ApplyKeywordsTo(memo_, sPar, ePar);
    groupCache_.assign(list_.Styles.Size(), kNoGroup);

    WriteHeader();
    BuildColorTable(sPar, sOff, ePar, eOff);
    WriteTableLine(sPar, sOff);
    for (int p = sPar; p <= ePar; ++p) {
      WriteParagraph(p, p == sPar ? sOff : 0, p == ePar ? eOff : list_.Length(p), p == sPar);
      ReportProgress(false);
    }
    // The closing line carries a NUL before its line end.
    line_.assign("\\par }");
    line_.push_back('\0');
    out_.WriteLine(line_);
    out_.Finish();
    ReportProgress(true);
  }

 private:
  void WriteHeader() {
    line_.assign("{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fnil ");
    AppendAnsi(line_, layout_.Font.Name);
    line_ += ";}{\\f1\\fnil ";
    AppendAnsi(line_, layout_.AltFont.Name);
    line_ += ";}}";
    out_.WriteLine(line_);
    out_.WriteLine("{\\colortbl");
  }

  // The four base colours, then the run colours in text order.
  void BuildColorTable(int sPar, int32_t sOff, int ePar, int32_t eOff) {
    table_.AddAlways(paint_.FontColor);
    table_.AddAlways(paint_.HighlightColor);
    table_.AddAlways(paint_.Color);
    table_.AddAlways(paint_.HighlightBackgnd);
    if (!dyn_) return;
    std::vector<bool> seen(list_.Styles.Size(), false);
    auto collect = [&](uint32_t id) {
      if (seen[id]) return;
      seen[id] = true;
      const TDynInfo& style = list_.Styles.Get(id);
      if (!(style.Kind & dkHighlight) || (style.Background == 0 && style.Foreground == 0)) return;
      table_.Add(style.Background);
      table_.Add(style.Foreground);
    };
    // Every style the writer can meet: the one in effect at the start, each
    // paragraph's start style, and every run up to the stop, those at the
    // start position included.
    collect(StyleIdAt(sPar, sOff));
    for (int p = sPar; p <= ePar; ++p) {
      if (p > sPar) collect(list_.StartStyleId(p));
      const int n = list_.RunCount(p);
      const TRunRec* runs = list_.RunRecs(p);
      const int32_t first = p == sPar ? sOff : 0;
      const int32_t last = p == ePar ? eOff : list_.Length(p);
      for (int k = 0; k < n; ++k)
        if (runs[k].Offset >= first && runs[k].Offset <= last) collect(runs[k].Attr);
    }
  }

  // The style in effect before offset off: the last run starting below it, else the paragraph's start style.
  uint32_t StyleIdAt(int p, int32_t off) const {
    const int j = FirstRunAtOrAfter(p, off);
    return j > 0 ? list_.RunRecs(p)[j - 1].Attr : list_.StartStyleId(p);
  }

  int FirstRunAtOrAfter(int p, int32_t off) const {
    const int n = list_.RunCount(p);
    const TRunRec* runs = list_.RunRecs(p);
    if (n == 0) return 0;
    return static_cast<int>(
        std::lower_bound(runs, runs + n, off, [](const TRunRec& r, int32_t o) { return r.Offset < o; }) - runs);
  }

  void WriteTableLine(int sPar, int32_t sOff) {
    line_.clear();
    line_ += table_.Entries(owner_.ResolveSystemColor);
    line_ += '}';
    line_ += AlignmentWords(layout_);
    AppendSpacing();
    flags_ = InitialStaticStyle(sPar, sOff);
    run_ = StyleIdAt(sPar, sOff);
    group_ = GroupKey();
    AppendGroup(group_);
    out_.WriteLine(line_);
  }

  void AppendSpacing() {
    const double leading = owner_.RTFLeading;
    if (leading > 0) {
      line_ += "\\sl";
      AppendNumber(line_, RoundHalfEven(leading * 1440.0));
    } else if (leading < 0) {
      line_ += "\\sl";
      AppendNumber(line_, RoundHalfEven(-leading * 240.0));
      line_ += "\\slmult1";
    }
  }

  uint8_t InitialStaticStyle(int p, int32_t off) const {
    if (!staticFormat_) return 0;
    uint8_t state = ParagraphStaticStyle(list_, p);
    const std::u16string_view text = list_.TextView(p);
    for (int32_t i = 0; i < off; ++i) state ^= FormatCodeMask(text[static_cast<size_t>(i)]);
    return state;
  }

  void WriteParagraph(int p, int32_t from, int32_t to, bool first) {
    line_.clear();
    pendingHigh_ = false;
    if (!first) {
      line_ += "\\par ";
      // A paragraph starts in its own start style, as painting shows it,
      // even when the previous one ended inside a span that closes at its
      // end without a run of its own. The group is due before the first
      // character, so a run at offset 0 replaces it rather than follows it.
      if (dyn_ && list_.StartStyleId(p) != run_) {
        run_ = list_.StartStyleId(p);
        startDue_ = true;
      }
    }
    const char16_t* text = list_.Text(p);
    const int n = dyn_ ? list_.RunCount(p) : 0;
    const TRunRec* runs = n > 0 ? list_.RunRecs(p) : nullptr;
    int j = first ? FirstRunAtOrAfter(p, from) : 0;
    int32_t boundary = j < n ? runs[j].Offset : kNever;
    int32_t i = from;
    while (i < to) {
      if (i < boundary) {
        // Plain characters up to the next thing that needs attention.
        const int32_t stop = std::min(boundary, to);
        int32_t k = i;
        while (k < stop && !IsSpecial(text[k])) ++k;
        if (k > i) {
          if (startDue_) Flush();
          AppendText(text + i, text + k);
          i = k;
        }
        if (i == stop) continue;
        const char16_t c = text[i];
        if (IsEscaped(c)) {
          if (startDue_) Flush();
          line_ += '\\';
          line_ += static_cast<char>(c);
          pendingHigh_ = false;
          ++i;
          continue;
        }
        // Format codes: applied to the style, never written.
        while (i < to && FormatCodeMask(text[i]) != 0) flags_ ^= FormatCodeMask(text[i++]);
        Flush();
      } else {
        while (j < n && runs[j].Offset <= i) ++j;
        run_ = runs[j - 1].Attr;
        boundary = j < n ? runs[j].Offset : kNever;
        Flush();
      }
    }
    out_.WriteLine(line_);
  }

  static bool IsEscaped(char16_t c) { return c == u'\\' || c == u'{' || c == u'}'; }
  // Escapes and format codes all lie below 128; the test runs on every character.
  bool IsSpecial(char16_t c) const { return c < 128 && special_[c]; }

  // Text converted piece by piece converts as the whole line would: a
  // surrogate pair split between two pieces with nothing written between
  // them is still one character ('?').
  void AppendText(const char16_t* from, const char16_t* to) {
    if (pendingHigh_ && IsLowSurrogate(*from)) ++from;
    pendingHigh_ = false;
    if (from == to) return;
    AppendAnsi(line_, std::u16string_view(from, static_cast<size_t>(to - from)));
    pendingHigh_ = IsHighSurrogate(to[-1]);
  }

  void Flush() {
    startDue_ = false;
    const uint64_t key = GroupKey();
    if (key == group_) return;
    group_ = key;
    AppendGroup(key);
  }

  // What a format group says, packed: alternate font (bit 56), bold, italic
  // and underline (bits 48..50), \cf index (bits 24..47) and \cb index (bits 0..23).
  uint64_t GroupKey() {
    if (dyn_) {
      const TDynInfo& style = list_.Styles.Get(run_);
      if (style.Kind & dkHighlight) {
        uint64_t& cached = groupCache_[run_];
        if (cached == kNoGroup) cached = KeyFor(style.Kind & 0x3F, &style);
        return cached;
      }
    }
    return KeyFor(flags_, nullptr);
  }

  uint64_t KeyFor(uint8_t flags, const TDynInfo* run) const {
    const bool highlight = flags & fsHighlight;
    int cf = highlight ? 1 : 0;
    int cb = highlight ? 3 : 2;
    if (run != nullptr && (run->Background != 0 || run->Foreground != 0)) {
      // A side without a colour of its own keeps the base colour, as painting does.
      if (!IsNoColor(run->Foreground)) cf = std::max(table_.IndexOf(run->Foreground), 0);
      if (!IsNoColor(run->Background)) cb = std::max(table_.IndexOf(run->Background), 0);
    }
    return (uint64_t{(flags & fsAltFont) != 0} << 56) | (uint64_t{flags & 7u} << 48) |
           (static_cast<uint64_t>(cf) << 24) | static_cast<uint64_t>(cb);
  }

  // Scripts use a handful of distinct groups over and over: each is spelt once.
  void AppendGroup(uint64_t key) {
    auto [at, added] = groupText_.try_emplace(key);
    if (added) SpellGroup(key, at->second);
    line_ += at->second;
    pendingHigh_ = false;
  }

  void SpellGroup(uint64_t key, std::string& out) const {
    const bool alt = (key >> 56) & 1;
    const unsigned style = (key >> 48) & 7;
    out += alt ? "\\plain\\f1\\fs" : "\\plain\\f0\\fs";
    AppendNumber(out, 2 * std::abs(static_cast<int64_t>(alt ? layout_.AltFont.Size : layout_.Font.Size)));
    if (style & fsBold) out += "\\b";
    if (style & fsItalic) out += "\\i";
    if (style & fsUnderline) out += "\\ul";
    out += "\\cf";
    AppendNumber(out, static_cast<int64_t>((key >> 24) & 0xFFFFFF));
    out += "\\cb";
    AppendNumber(out, static_cast<int64_t>(key & 0xFFFFFF));
    out += ' ';
  }

  void ReportProgress(bool last) {
    if (!owner_.OnProgress) return;
    const auto now = std::chrono::steady_clock::now();
    if (!last && now - started_ <= std::chrono::milliseconds(memo_.ProgressInterval)) return;
    started_ = now;
    owner_.OnProgress(&owner_);
  }

  TPlusToRTFU& owner_;
  TPlusMemoU& memo_;
  TParagraphsList& list_;
  const TLayoutSettings& layout_;
  const TPaintSettings& paint_;
  const bool dyn_;
  const bool staticFormat_;
  std::array<bool, 128> special_{};  // IsSpecial of the units below 128
  TFormattedOutput& out_;
  TRtfColorTable table_;
  std::vector<uint64_t> groupCache_;  // group keys of highlight styles, by style number
  std::unordered_map<uint64_t, std::string> groupText_;
  std::chrono::steady_clock::time_point started_;
  std::string line_;          // the output line, in the code page
  bool pendingHigh_ = false;  // line_ ends with the '?' of a high surrogate
  uint8_t flags_ = 0;         // the format-code style state
  uint32_t run_ = 0;          // style number of the current run record
  uint64_t group_ = kNoGroup;
  bool startDue_ = false;  // the paragraph's start style awaits its first character
};

}  // namespace

void TPlusToRTFU::ExportRange(TPlusNavigatorU& start, TPlusNavigatorU& stop, std::vector<std::string>* lines,
                              TStream* stream) {
  auto* memo = dynamic_cast<TPlusMemoU*>(start.Memo());
  if (memo == nullptr) return;
  if (stop.Memo() != memo) throw Exception(kInternalPlusMemoError);
  const int32_t length = memo->TextLength();
  const int32_t a = std::clamp(start.Pos(), 0, length);
  const int32_t b = std::clamp(stop.Pos(), 0, length);
  if (lines != nullptr) {
    TFormattedOutput out(*lines);
    TRtfExport(*this, *memo, out).Run(std::min(a, b), std::max(a, b));
  } else if (stream != nullptr) {
    TFormattedOutput out(*stream);
    TRtfExport(*this, *memo, out).Run(std::min(a, b), std::max(a, b));
  }
}

}  // namespace qm
