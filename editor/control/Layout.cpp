// Layout of paragraphs into display lines, formatting slices, and the pixel measurement of display lines.
#include "editor/control/Layout.h"

#include <algorithm>
#include <chrono>
#include <climits>

#include "editor/control/PlusMemoU.h"
#include "editor/highlight/Scan.h"
#include "editor/store/DynInfo.h"
#include "editor/store/Navigator.h"

namespace qm {
namespace {

// Characters measured in one call of the measurer at most.
constexpr int32_t kPieceLimit = 4096;

int ClampInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

}  // namespace

// Walks the characters of one paragraph forward in pieces: a piece ends at a
// change between word characters and spaces, at a tab or format code (each a
// piece of its own), where a style run starts, and after kPieceLimit
// characters. Layout and measurement cut the text at the same places, so a
// line measured again from its start gives the width the layout stored.
class TLayoutEngine::Walker {
 public:
  Walker(TLayoutEngine& engine, int par)
      : engine_(engine), list_(engine.List()), text_(list_.TextView(par)), startKind_(list_.StartStyle(par).Kind) {
    const ParExtraInfo* extra = list_.Extra(par);
    runs_ = extra != nullptr ? extra->Runs() : nullptr;
    runCount_ = extra != nullptr ? static_cast<int>(extra->RunCount) : 0;
  }

  void SetAt(int32_t pos, uint8_t state, int64_t x) {
    pos_ = pos;
    state_ = state;
    x_ = x;
    while (run_ > 0 && runs_[run_ - 1].Offset > pos_) --run_;
  }
  uint8_t State() const { return state_; }
  std::u16string_view Text() const { return text_; }
  int64_t X() const { return x_; }

  // The next piece, ending at stop at the latest; false at stop.
  bool Next(int32_t stop, TLinePiece& piece) {
    if (pos_ >= stop) return false;
    while (run_ < runCount_ && runs_[run_].Offset <= pos_) ++run_;
    const uint8_t kind = run_ > 0 ? list_.Styles.Get(runs_[run_ - 1].Attr).Kind : startKind_;
    const bool codes = engine_.Settings.StaticFormat;
    // A run that carries attributes replaces the style of the format codes.
    const uint8_t bits = (kind & dkHighlight) ? (kind & 0x3F) : (codes ? (state_ & 0x3F) : 0);
    piece = TLinePiece{};
    piece.From = pos_;
    piece.X = x_;
    piece.StyleBits = bits;
    piece.Run = run_ - 1;
    const char16_t c = text_[static_cast<size_t>(pos_)];
    const uint8_t mask = codes ? FormatCodeMask(c) : 0;
    if (mask != 0) {
      piece.Kind = TLinePiece::pkCode;
      piece.To = pos_ + 1;
      state_ ^= mask;
    } else if (c == u'\t') {
      piece.Kind = TLinePiece::pkTab;
      piece.To = pos_ + 1;
      const int64_t tab = engine_.TabWidth();
      piece.Width = tab > 0 ? (x_ / tab + 1) * tab - x_ : 0;
    } else {
      const bool space = c == u' ';
      piece.Kind = space ? TLinePiece::pkSpace : TLinePiece::pkText;
      const int32_t runEnd = run_ < runCount_ ? runs_[run_].Offset : INT32_MAX;
      const int32_t limit = std::min({stop, runEnd, pos_ + std::min(kPieceLimit, INT32_MAX - pos_)});
      int32_t end = pos_ + 1;
      while (end < limit) {
        const char16_t d = text_[static_cast<size_t>(end)];
        if (space ? d != u' ' : engine_.IsLead(d)) break;
        ++end;
      }
      piece.To = end;
      piece.Width = engine_.measurer_.TextWidth(
          engine_.FontFor(bits), text_.substr(static_cast<size_t>(pos_), static_cast<size_t>(end - pos_)));
    }
    x_ += piece.Width;
    pos_ = piece.To;
    return true;
  }

 private:
  TLayoutEngine& engine_;
  const TParagraphsList& list_;
  std::u16string_view text_;
  uint8_t startKind_;
  const TRunRec* runs_ = nullptr;
  int runCount_ = 0;
  int run_ = 0;  // runs before this index start at or before pos_
  int32_t pos_ = 0;
  uint8_t state_ = 0;
  int64_t x_ = 0;
};

// One display line ready for measuring: its pieces, and how the free width
// of a justified line is spread over its stretchable spaces.
struct TLayoutEngine::TLineGeometry {
  TLineInfo Info;
  std::u16string_view Text;
  int64_t Spaces = 0;  // stretchable spaces; 0 when the line is not stretched
  int64_t Quota = 0;   // free width div Spaces
  int64_t Remainder = 0;
  std::vector<TLinePiece> Pieces;

  // Extra pixels of the first j stretchable spaces. Each space gets Quota;
  // the remainder goes one pixel at a time through an accumulator that
  // starts at half the remainder and gives a pixel whenever it passes Spaces.
  int64_t Extra(int64_t j) const { return Spaces == 0 ? 0 : j * Quota + (Remainder / 2 + j * Remainder) / Spaces; }
};

TLayoutEngine::TLayoutEngine(TPlusMemoU& memo, TTextMeasurer& measurer)
    : Settings(ownSettings_), memo_(memo), measurer_(measurer) {
  Settings.TabStops = memo.TabStops;
  Settings.WordWrap = memo.WordWrap;
  Settings.StaticFormat = memo.StaticFormat();
}

TLayoutEngine::TLayoutEngine(TPlusMemoU& memo, TTextMeasurer& measurer, TLayoutSettings& settings)
    : Settings(settings), memo_(memo), measurer_(measurer) {}

TParagraphsList& TLayoutEngine::List() { return memo_.Paragraphs(); }

bool TLayoutEngine::IsLead(char16_t c) const {
  return c == u' ' || c == u'\t' || (Settings.StaticFormat && FormatCodeMask(c) != 0);
}

const TFontSpec& TLayoutEngine::FontFor(uint8_t styleBits) {
  // The cache follows the settings, which the host may change at any time.
  if (fontsFor_ != Settings.Font || altFontsFor_ != Settings.AltFont) {
    fontsFor_ = Settings.Font;
    altFontsFor_ = Settings.AltFont;
    fontsMade_.reset();
  }
  const size_t i = styleBits & 0x3F;
  if (!fontsMade_.test(i)) {
    TFontSpec font = (styleBits & fsAltFont) ? Settings.AltFont : Settings.Font;
    // With no style bits the configured font keeps its own style.
    if (styleBits & 0x0F) font.Style = styleBits & 0x0F;
    fonts_[i] = font;
    fontsMade_.set(i);
  }
  return fonts_[i];
}

int TLayoutEngine::LineHeight() { return std::max(1, measurer_.LineHeight(Settings.Font)); }

int TLayoutEngine::Ascent() { return measurer_.Ascent(Settings.Font); }

int TLayoutEngine::AverageCharWidth() { return measurer_.AverageCharWidth(Settings.Font); }

int64_t TLayoutEngine::WrapWidth() {
  if (!Settings.WordWrap && Settings.Alignment == taLeftJustify) return int64_t{INT32_MAX} - Settings.RightMargin;
  int64_t width;
  if (Settings.ColumnWrap > 0)
    width = int64_t{Settings.ColumnWrap} * AverageCharWidth();
  else if (Settings.ColumnWrap == 0)
    width = int64_t{Settings.ClientWidth} - Settings.LeftMargin - Settings.RightMargin;
  else
    width = -int64_t{Settings.ColumnWrap};
  return std::max<int64_t>(1, width);
}

int64_t TLayoutEngine::TabWidth() {
  if (Settings.TabStops > 0) return int64_t{Settings.TabStops} * AverageCharWidth();
  if (Settings.TabStops < 0) return -int64_t{Settings.TabStops};
  return 0;
}

bool TLayoutEngine::HorizontalScrolling() const {
  return Settings.Alignment == taLeftJustify && !(Settings.WordWrap && Settings.ColumnWrap == 0);
}

int64_t TLayoutEngine::Measure(Walker& walker, int32_t from, int32_t to, int64_t x, uint8_t& state) {
  walker.SetAt(from, state, x);
  TLinePiece piece;
  while (walker.Next(to, piece)) {
  }
  state = walker.State();
  return walker.X() - x;
}

std::pair<int32_t, int64_t> TLayoutEngine::Fit(Walker& walker, int32_t from, int32_t to, int64_t x, int64_t wrap,
                                               uint8_t state) {
  walker.SetAt(from, state, x);
  TLinePiece piece;
  int64_t used = 0;
  while (walker.Next(to, piece)) {
    if (x + used + piece.Width <= wrap) {
      used += piece.Width;
      continue;
    }
    // Only word characters reach here (words hold no tabs or codes): find
    // the longest prefix of the piece that still fits.
    const std::u16string_view text = walker.Text();
    const TFontSpec& font = FontFor(piece.StyleBits);
    auto prefix = [&](int32_t m) -> int64_t {
      return m == 0 ? 0
                    : measurer_.TextWidth(font, text.substr(static_cast<size_t>(piece.From), static_cast<size_t>(m)));
    };
    int32_t lo = 0;
    int32_t hi = piece.To - piece.From - 1;
    while (lo < hi) {
      const int32_t mid = lo + (hi - lo + 1) / 2;
      if (x + used + prefix(mid) <= wrap)
        lo = mid;
      else
        hi = mid - 1;
    }
    return {piece.From - from + lo, used + prefix(lo)};
  }
  return {to - from, used};
}

void TLayoutEngine::CountStretch(std::u16string_view text, TLineInfo& line) const {
  int32_t from = line.LineStart;
  while (from < line.MeasuredTo && IsLead(text[static_cast<size_t>(from)])) ++from;
  // Spaces before a tab cannot move what follows the tab.
  for (int32_t i = from; i < line.MeasuredTo; ++i)
    if (text[static_cast<size_t>(i)] == u'\t') from = i + 1;
  int32_t count = 0;
  for (int32_t i = from; i < line.MeasuredTo; ++i)
    if (text[static_cast<size_t>(i)] == u' ') ++count;
  if (count > 0) {
    line.StretchSpaces = count;
    line.StretchFrom = from;
  }
}

void TLayoutEngine::LayOut(int par) {
  TParagraphsList& list = List();
  const uint8_t flags = list.Flags(par);
  // Runs decide fonts: the lazy highlighting of the paragraph comes first.
  if (!(flags & pfKeywordsApplied) && (memo_.ApplyKeyWords || memo_.Highlighter() != nullptr))
    scan::ApplyKeywordsTo(memo_, par, par);
  else if (!(flags & pfSpansParsed))
    scan::ParseUpTo(memo_, par);

  const std::u16string_view text = list.TextView(par);
  const int32_t length = static_cast<int32_t>(text.size());
  const int64_t wrap = WrapWidth();
  Walker walker(*this, par);

  std::vector<TLineInfo> lines;
  uint8_t state = list.LayoutInfo(par).StartStyle;  // the store keeps the paragraph's start state here
  int32_t lineStart = 0;
  uint8_t lineState = state;
  int64_t x = 0;
  bool hasWord = false;  // the current line holds a word
  int32_t wordEnd = 0;
  int64_t wordEndX = 0;

  auto emit = [&](int32_t stop, int32_t measuredTo, int64_t width, bool last) {
    TLineInfo line;
    line.LineStart = lineStart;
    line.LineStop = stop;
    line.MeasuredTo = measuredTo;
    line.LineWidth = static_cast<int32_t>(std::clamp<int64_t>(width, 0, INT32_MAX));
    line.StartStyle = lineState;
    line.FirstRun = scan::FirstRun(list, par, lineStart, false);
    if (!last) CountStretch(text, line);
    lines.push_back(line);
  };
  auto newLine = [&](int32_t start) {
    lineStart = start;
    lineState = state;
    x = 0;
    hasWord = false;
  };

  int32_t pos = 0;
  while (pos < length) {
    int32_t ws = pos;
    while (ws < length && IsLead(text[static_cast<size_t>(ws)])) ++ws;
    if (ws == length) {
      // Spaces that end the paragraph stay on its last line.
      x += Measure(walker, pos, length, x, state);
      break;
    }
    int32_t we = ws;
    while (we < length && !IsLead(text[static_cast<size_t>(we)])) ++we;
    const int64_t lead = Measure(walker, pos, ws, x, state);
    uint8_t wordState = state;  // words hold no format codes
    const int64_t word = Measure(walker, ws, we, x + lead, wordState);
    if (x + lead + word <= wrap) {
      x += lead + word;
      pos = we;
      hasWord = true;
      wordEnd = we;
      wordEndX = x;
      continue;
    }
    if (hasWord) {
      // The word starts the next line; the spaces before it hang at the end
      // of this one and do not count in its width.
      emit(ws, wordEnd, wordEndX, false);
      newLine(ws);
      pos = ws;
      continue;
    }
    // The word has the line to itself and is still too wide: break it where the width is reached.
    x += lead;
    auto [count, width] = Fit(walker, ws, we, x, wrap, state);
    if (count == 0 && ws == lineStart) {
      // Every line takes at least one character.
      count = 1;
      uint8_t oneState = state;
      width = Measure(walker, ws, ws + 1, x, oneState);
    }
    const int32_t stop = ws + count;
    if (count == 0)
      emit(stop, lineStart, 0, false);  // only spaces before the word: they hang
    else
      emit(stop, stop, x + width, false);
    newLine(stop);
    pos = stop;
  }
  emit(length, length, x, true);

  bool same = list.LineCountOf(par) == static_cast<int>(lines.size());
  for (size_t i = 0; same && i < lines.size(); ++i) same = list.LineInfo(par, static_cast<int>(i)) == lines[i];
  for (const TLineInfo& line : lines) widest_ = std::max(widest_, line.LineWidth);
  list.SetDisplayLines(par, lines);
  list.SetFlags(par, list.Flags(par) | pfLaidOut | pfKeywordsApplied);
  if (!same) InvalidateNavigators(par);
}

void TLayoutEngine::InvalidateNavigators(int par) {
  const TParagraphsList& list = List();
  const int32_t start = list.StartOffset(par);
  const int32_t end = start + list.Length(par) + 1;
  for (TPlusNavigatorU* nav : memo_.Navigators())
    if (nav->Pos() >= start && nav->Pos() <= end) nav->Invalidate();
}

void TLayoutEngine::EnsureLaidOut(int par) {
  if (!(List().Flags(par) & pfLaidOut)) LayOut(par);
}

void TLayoutEngine::LayOutThrough(int par) {
  TParagraphsList& list = List();
  par = std::min(par, list.Count - 1);
  if (OneLinePerParagraph()) {
    if (par >= 0) EnsureLaidOut(par);
    return;
  }
  // Paragraphs before FormattedCount are laid out already.
  for (int p = std::clamp(list.FormattedCount, 0, list.Count); p <= par; ++p) {
    EnsureLaidOut(p);
    list.FormattedCount = p + 1;
  }
  if (par >= 0) EnsureLaidOut(par);
}

void TLayoutEngine::LayOutUpTo(int32_t line) {
  TParagraphsList& list = List();
  if (OneLinePerParagraph()) {
    if (line >= 0 && line < list.LineCount) EnsureLaidOut(list.ParagraphOfLine(line));
    return;
  }
  for (int p = std::clamp(list.FormattedCount, 0, list.Count); p < list.Count; ++p) {
    // Earlier paragraphs are laid out, so this start line is final.
    if (list.StartLine(p) > line) break;
    EnsureLaidOut(p);
    list.FormattedCount = p + 1;
  }
}

void TLayoutEngine::LayOutLines(int32_t first, int32_t last) {
  LayOutUpTo(last);
  TParagraphsList& list = List();
  if (list.LineCount <= 0) return;
  last = std::min(last, list.LineCount - 1);
  for (int32_t line = std::max(first, 0); line <= last;) {
    const int par = list.ParagraphOfLine(line);
    EnsureLaidOut(par);
    line = list.StartLine(par) + list.LineCountOf(par);
  }
}

void TLayoutEngine::LayOutAll() {
  TParagraphsList& list = List();
  for (int p = 0; p < list.Count; ++p) EnsureLaidOut(p);
  list.FormattedCount = list.Count;
  list.FormatLast = -1;
}

void TLayoutEngine::InvalidateAll() {
  List().InvalidateLayout();
  widest_ = 0;
}

bool TLayoutEngine::FormatSlice(int milliseconds) {
  TParagraphsList& list = List();
  // Inside BeginUpdate … EndUpdate the text may be half edited: the work waits.
  if (memo_.UpdateCount > 0) return list.FormatLast >= list.FormattedCount && list.FormattedCount < list.Count;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(milliseconds, 0));
  // At least one paragraph per slice, so that a slice always makes progress.
  while (list.FormattedCount <= std::min(list.FormatLast, list.Count - 1)) {
    EnsureLaidOut(std::max(list.FormattedCount, 0));
    list.FormattedCount = std::max(list.FormattedCount, 0) + 1;
    if (Clock::now() >= deadline) break;
  }
  if (list.FormatLast >= list.FormattedCount && list.FormattedCount < list.Count) return true;
  list.FormatLast = -1;
  list.FormattedCount = list.Count;
  return false;
}

TLayoutEngine::TLineGeometry TLayoutEngine::Geometry(int par, int line) {
  const TParagraphsList& list = List();
  TLineGeometry g;
  g.Info = list.LineInfo(par, line);
  g.Text = list.TextView(par);
  const int32_t length = static_cast<int32_t>(g.Text.size());
  const int32_t start = std::clamp(g.Info.LineStart, 0, length);
  const int32_t stop = std::clamp(g.Info.LineStop, start, length);
  if (Settings.Justified && g.Info.StretchSpaces > 0) {
    const int64_t free = WrapWidth() - g.Info.LineWidth;
    if (free > 0) {
      g.Spaces = g.Info.StretchSpaces;
      g.Quota = free / g.Spaces;
      g.Remainder = free % g.Spaces;
    }
  }
  Walker walker(*this, par);
  walker.SetAt(start, g.Info.StartStyle, 0);
  TLinePiece piece;
  int64_t stretched = 0;
  int64_t extra = 0;  // extra pixels of the stretched spaces so far
  while (walker.Next(stop, piece)) {
    piece.X += extra;
    if (g.Spaces > 0 && piece.Kind == TLinePiece::pkSpace) {
      const int32_t a = std::max(piece.From, g.Info.StretchFrom);
      const int32_t b = std::min(piece.To, g.Info.MeasuredTo);
      if (a < b) {
        piece.StretchFrom = a;
        piece.StretchTo = b;
        piece.StretchBefore = static_cast<int32_t>(stretched);
        const int64_t add = g.Extra(stretched + (b - a)) - g.Extra(stretched);
        piece.Width += add;
        extra += add;
        stretched += b - a;
      }
    }
    g.Pieces.push_back(piece);
  }
  return g;
}

int64_t TLayoutEngine::AlignOffset(const TLineInfo& line) {
  if (Settings.Alignment == taLeftJustify) return 0;
  const int64_t wrap = WrapWidth();
  // A stretched line fills the width already.
  if (Settings.Justified && line.StretchSpaces > 0 && wrap > line.LineWidth) return 0;
  const int64_t free = std::max<int64_t>(0, wrap - line.LineWidth);
  return Settings.Alignment == taRightJustify ? free : free / 2;
}

int64_t TLayoutEngine::PrefixWidth(const TLineGeometry& g, const TLinePiece& piece, int32_t count) {
  if (count <= 0) return 0;
  if (count >= piece.To - piece.From) return piece.Width;
  int64_t width = measurer_.TextWidth(FontFor(piece.StyleBits),
                                      g.Text.substr(static_cast<size_t>(piece.From), static_cast<size_t>(count)));
  if (piece.StretchTo > piece.StretchFrom) {
    const int32_t done = std::clamp(piece.From + count, piece.StretchFrom, piece.StretchTo) - piece.StretchFrom;
    width += g.Extra(piece.StretchBefore + done) - g.Extra(piece.StretchBefore);
  }
  return width;
}

int64_t TLayoutEngine::XIn(const TLineGeometry& g, int32_t offset) {
  for (const TLinePiece& piece : g.Pieces)
    if (offset < piece.To) return piece.X + PrefixWidth(g, piece, offset - piece.From);
  return g.Pieces.empty() ? 0 : g.Pieces.back().X + g.Pieces.back().Width;
}

int32_t TLayoutEngine::HitPiece(const TLineGeometry& g, const TLinePiece& piece, int64_t x) {
  // The character whose extent holds x: the last one starting at or before it.
  int32_t lo = 0;
  int32_t hi = piece.To - piece.From - 1;
  while (lo < hi) {
    const int32_t mid = lo + (hi - lo + 1) / 2;
    if (PrefixWidth(g, piece, mid) <= x)
      lo = mid;
    else
      hi = mid - 1;
  }
  const int64_t left = PrefixWidth(g, piece, lo);
  const int64_t right = PrefixWidth(g, piece, lo + 1);
  // The left half of a character puts the position before it.
  return 2 * (x - left) < right - left ? piece.From + lo : piece.From + lo + 1;
}

std::vector<TLinePiece> TLayoutEngine::LinePieces(int par, int line) { return Geometry(par, line).Pieces; }

int64_t TLayoutEngine::LineOriginX(int par, int line) {
  return int64_t{Settings.LeftMargin} - HScroll + AlignOffset(List().LineInfo(par, line));
}

int64_t TLayoutEngine::OffsetX(int par, int line, int32_t offset) { return XIn(Geometry(par, line), offset); }

int32_t TLayoutEngine::OffsetAtX(int par, int line, int64_t x) {
  const TLineGeometry g = Geometry(par, line);
  const int32_t length = static_cast<int32_t>(g.Text.size());
  const int32_t start = std::clamp(g.Info.LineStart, 0, length);
  if (x < 0) return start;
  for (const TLinePiece& piece : g.Pieces)
    if (x < piece.X + piece.Width) return HitPiece(g, piece, x - piece.X);
  return std::clamp(g.Info.LineStop, start, length);
}

int TLayoutEngine::PosX(TPlusNavigatorU& nav) {
  EnsureLaidOut(nav.ParNumber());
  const int par = nav.ParNumber();
  const int line = std::min(nav.LineInPar(), List().LineCountOf(par) - 1);
  return ClampInt(LineOriginX(par, line) + OffsetX(par, line, nav.ParOffset()));
}

int TLayoutEngine::PosY(TPlusNavigatorU& nav) {
  // Line numbers are final only when the paragraphs above are laid out.
  LayOutThrough(nav.ParNumber());
  return ClampInt(int64_t{nav.LineNumber()} * LineHeight() + Ascent() - VScroll);
}

int TLayoutEngine::CharWidth(TPlusNavigatorU& nav) {
  EnsureLaidOut(nav.ParNumber());
  const TParagraphsList& list = List();
  const int par = nav.ParNumber();
  const int32_t offset = nav.ParOffset();
  if (offset >= list.Length(par)) return 0;
  int line = std::min(nav.LineInPar(), list.LineCountOf(par) - 1);
  // A navigator kept at the end of a wrapped line stands before the first character of the next.
  if (offset >= list.LineInfo(par, line).LineStop && line + 1 < list.LineCountOf(par)) ++line;
  const TLineGeometry g = Geometry(par, line);
  return ClampInt(XIn(g, offset + 1) - XIn(g, offset));
}

void TLayoutEngine::SetPoint(TPlusNavigatorU& nav, int x, int y) {
  TParagraphsList& list = List();
  const int64_t wanted = (int64_t{y} + VScroll) / LineHeight();
  const int32_t line = static_cast<int32_t>(std::clamp<int64_t>(wanted, 0, INT32_MAX));
  LayOutUpTo(line);
  if (line >= list.LineCount) {
    nav.SetPos(list.TextLength);
    return;
  }
  int par = list.ParagraphOfLine(line);
  if (!(list.Flags(par) & pfLaidOut)) {
    LayOut(par);
    if (line >= list.LineCount) {
      nav.SetPos(list.TextLength);
      return;
    }
    par = list.ParagraphOfLine(line);
  }
  const int inPar = std::clamp(line - list.StartLine(par), 0, list.LineCountOf(par) - 1);
  const TLineInfo info = list.LineInfo(par, inPar);
  const int32_t offset = OffsetAtX(par, inPar, int64_t{x} - LineOriginX(par, inPar));
  // Placing by line offset keeps a position at the end of a wrapped line on that line.
  nav.Invalidate();
  nav.SetPos(list.StartOffset(par) + info.LineStart);
  nav.SetLineOffset(offset - info.LineStart);
}

}  // namespace qm
