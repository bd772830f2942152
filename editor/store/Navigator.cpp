// Navigator: lazy resolution of paragraph, run and display line; words; style-run primitives.
#include "editor/store/Navigator.h"

#include <algorithm>

#include "platform/Exceptions.h"

namespace qm {

TPlusNavigatorU::TPlusNavigatorU(TComponent* memo) {
  if (memo != nullptr) {
    host_ = dynamic_cast<TNavigatorHost*>(memo);
    if (host_ == nullptr) throw Exception(kNotAPlusMemo);
    memo_ = memo;
    host_->RegisterNavigator(this);
  }
}

TPlusNavigatorU::~TPlusNavigatorU() {
  if (host_ != nullptr) host_->UnregisterNavigator(this);
  if (OnFree) OnFree(this);
}

TParagraphsList& TPlusNavigatorU::List() const {
  if (host_ == nullptr) throw Exception(kNotAPlusMemo);
  return host_->Paragraphs();
}

void TPlusNavigatorU::Assign(const TPlusNavigatorU& other) {
  pos_ = other.pos_;
  parNumber_ = other.parNumber_;
  parOffset_ = other.parOffset_;
  dynNumber_ = other.dynNumber_;
  lineInPar_ = other.lineInPar_;
}

void TPlusNavigatorU::Invalidate() {
  parNumber_ = -1;
  dynNumber_ = -1;
  lineInPar_ = -1;
}

void TPlusNavigatorU::Resolve() {
  if (parNumber_ >= 0) return;
  TParagraphsList& list = List();
  // Positions beyond the text (a caller's slip) resolve to its nearest end.
  pos_ = std::clamp(pos_, 0, list.TextLength);
  parNumber_ = list.ParagraphOfPosition(pos_);
  parOffset_ = pos_ - list.StartOffset(parNumber_);
  dynNumber_ = -1;
  lineInPar_ = -1;
}

void TPlusNavigatorU::ResolveRuns() {
  Resolve();
  if (dynNumber_ >= 0) return;
  const TParagraphsList& list = List();
  const int n = list.RunCount(parNumber_);
  const TRunRec* runs = list.RunRecs(parNumber_);
  const int32_t offset = parOffset_;
  dynNumber_ = n == 0 ? 0
                      : static_cast<int>(std::lower_bound(runs, runs + n, offset,
                                                          [](const TRunRec& r, int32_t o) { return r.Offset < o; }) -
                                         runs);
}

void TPlusNavigatorU::ResolveLine() {
  Resolve();
  if (lineInPar_ >= 0) return;
  const TParagraphsList& list = List();
  const ParExtraInfo* extra = list.Extra(parNumber_);
  if (extra == nullptr || extra->Rare == nullptr || extra->Rare->MoreLines.empty()) {
    lineInPar_ = 0;
    return;
  }
  // The last display line that starts at or before the offset.
  const auto& more = extra->Rare->MoreLines;
  const int32_t offset = parOffset_;
  const auto it =
      std::upper_bound(more.begin(), more.end(), offset, [](int32_t o, const TLineInfo& l) { return o < l.LineStart; });
  lineInPar_ = static_cast<int>(it - more.begin());
}

int TPlusNavigatorU::ParNumber() {
  Resolve();
  return parNumber_;
}

TParagraphRec* TPlusNavigatorU::Paragraph() { return List().Rec(ParNumber()); }

int32_t TPlusNavigatorU::ParOffset() {
  Resolve();
  return parOffset_;
}

int TPlusNavigatorU::DynNumber() {
  ResolveRuns();
  return dynNumber_;
}

int TPlusNavigatorU::LineInPar() {
  ResolveLine();
  return lineInPar_;
}

int32_t TPlusNavigatorU::LineNumber() {
  ResolveLine();
  return List().StartLine(parNumber_) + lineInPar_;
}

int32_t TPlusNavigatorU::LineOffset() {
  ResolveLine();
  return parOffset_ - List().LineInfo(parNumber_, lineInPar_).LineStart;
}

std::u16string TPlusNavigatorU::LineText() {
  ResolveLine();
  const TParagraphsList& list = List();
  const TLineInfo line = list.LineInfo(parNumber_, lineInPar_);
  const std::u16string_view text = list.TextView(parNumber_);
  const size_t start = std::min<size_t>(static_cast<size_t>(line.LineStart), text.size());
  const size_t stop = std::clamp<size_t>(static_cast<size_t>(line.LineStop), start, text.size());
  return std::u16string(text.substr(start, stop - start));
}

std::u16string TPlusNavigatorU::CurrentWord(const TCharSet& separators) {
  Resolve();
  const std::u16string_view text = List().TextView(parNumber_);
  size_t right = std::min<size_t>(static_cast<size_t>(std::max(parOffset_, 0)), text.size());
  while (right < text.size() && !separators.Contains(text[right])) ++right;
  size_t left = right;
  while (left > 0 && !separators.Contains(text[left - 1])) --left;
  return std::u16string(text.substr(left, right - left));
}

std::u16string TPlusNavigatorU::CurrentWord() { return CurrentWord(host_ ? host_->WordSeparators() : TCharSet()); }

char16_t TPlusNavigatorU::CharAt() {
  Resolve();
  const TParagraphsList& list = List();
  const int32_t length = list.Length(parNumber_);
  if (parOffset_ < 0) return 0;
  if (parOffset_ < length) return list.Text(parNumber_)[parOffset_];
  if (parOffset_ == length) return u'\r';
  if (parOffset_ == length + 1) return u'\n';
  return 0;
}

uint8_t TPlusNavigatorU::CharCode() {
  const char16_t c = CharAt();
  return c > 255 ? 255 : static_cast<uint8_t>(c);
}

TDynInfo TPlusNavigatorU::Style() {
  ResolveRuns();
  const TParagraphsList& list = List();
  if (dynNumber_ > 0) return list.Run(parNumber_, dynNumber_ - 1);
  return list.StartStyle(parNumber_);
}

int32_t TPlusNavigatorU::Context() {
  const TDynInfo style = Style();
  return style.Kind != 0 ? style.ContextNum : 0;
}

uint8_t TPlusNavigatorU::StaticStyle() {
  const TParagraphsList& list = List();
  if (!list.StaticFormat) return 0;
  ResolveLine();
  const TLineInfo line = list.LineInfo(parNumber_, lineInPar_);
  uint8_t state = line.StartStyle;
  const std::u16string_view text = list.TextView(parNumber_);
  const int32_t stop = std::min<int32_t>(parOffset_, static_cast<int32_t>(text.size()));
  for (int32_t i = line.LineStart; i < stop; ++i) state ^= FormatCodeMask(text[static_cast<size_t>(i)]);
  return state;
}

void TPlusNavigatorU::GetText(char16_t* buffer, int32_t count) {
  const std::u16string text = GetText(count);
  std::copy(text.begin(), text.end(), buffer);
  buffer[text.size()] = 0;
}

std::u16string TPlusNavigatorU::GetText(int32_t count) {
  Resolve();
  const TParagraphsList& list = List();
  count = std::max(0, std::min(count, list.TextLength - pos_));
  std::u16string out;
  out.reserve(static_cast<size_t>(count));
  int par = parNumber_;
  int32_t offset = parOffset_;
  while (static_cast<int32_t>(out.size()) < count && par < list.Count) {
    const std::u16string_view text = list.TextView(par);
    const int32_t length = static_cast<int32_t>(text.size());
    if (offset < length) {
      const size_t n = std::min<size_t>(static_cast<size_t>(length - offset), static_cast<size_t>(count) - out.size());
      out.append(text.substr(static_cast<size_t>(offset), n));
      offset += static_cast<int32_t>(n);
      continue;
    }
    if (offset == length) out.push_back(u'\r');
    if (static_cast<int32_t>(out.size()) < count) out.push_back(u'\n');
    ++par;
    offset = 0;
  }
  return out;
}

void TPlusNavigatorU::SetPos(int32_t p) {
  if (parNumber_ >= 0) {
    const TParagraphsList& list = List();
    if (parNumber_ < list.Count) {
      const int32_t start = list.StartOffset(parNumber_);
      const int32_t length = list.Length(parNumber_);
      if (p >= start && p <= start + length + 1) {
        const int32_t offset = p - start;
        if (offset >= parOffset_) {
          // Forward inside the paragraph: advance the cached indices.
          if (dynNumber_ >= 0) {
            const int n = list.RunCount(parNumber_);
            const TRunRec* runs = list.RunRecs(parNumber_);
            while (dynNumber_ < n && runs[dynNumber_].Offset < offset) ++dynNumber_;
          }
          if (lineInPar_ >= 0) {
            const int lines = list.LineCountOf(parNumber_);
            while (lineInPar_ + 1 < lines && list.LineInfo(parNumber_, lineInPar_ + 1).LineStart <= offset)
              ++lineInPar_;
          }
        } else {
          dynNumber_ = -1;
          lineInPar_ = -1;
        }
        parOffset_ = offset;
        pos_ = p;
        return;
      }
    }
  }
  pos_ = p;
  Invalidate();
}

void TPlusNavigatorU::SetParNumber(int n) {
  const TParagraphsList& list = List();
  n = std::clamp(n, 0, list.Count - 1);
  parNumber_ = n;
  parOffset_ = 0;
  pos_ = list.StartOffset(n);
  dynNumber_ = 0;
  lineInPar_ = 0;
}

void TPlusNavigatorU::SetParOffset(int32_t o) {
  Resolve();
  const TParagraphsList& list = List();
  o = std::clamp(o, 0, list.Length(parNumber_));
  SetPos(list.StartOffset(parNumber_) + o);
}

void TPlusNavigatorU::SetLineNumber(int32_t line) {
  const TParagraphsList& list = List();
  if (host_ == nullptr || !host_->WrapsLines()) {
    SetParNumber(std::min(line, list.Count - 1));
    return;
  }
  line = std::clamp(line, 0, std::max(list.LineCount - 1, 0));
  const int par = list.ParagraphOfLine(line);
  const int inPar = std::clamp(line - list.StartLine(par), 0, list.LineCountOf(par) - 1);
  const TLineInfo info = list.LineInfo(par, inPar);
  parNumber_ = par;
  lineInPar_ = inPar;
  parOffset_ = info.LineStart;
  pos_ = list.StartOffset(par) + info.LineStart;
  dynNumber_ = inPar == 0 ? 0 : -1;
  if (inPar > 0) ResolveRuns();
}

void TPlusNavigatorU::SetLineOffset(int32_t column) {
  ResolveLine();
  const TParagraphsList& list = List();
  const TLineInfo info = list.LineInfo(parNumber_, lineInPar_);
  const int32_t offset = info.LineStart + std::clamp(column, 0, info.LineStop - info.LineStart);
  const int line = lineInPar_;
  SetPos(list.StartOffset(parNumber_) + offset);
  // The end of a wrapped line stays on that line, not on the start of the next.
  lineInPar_ = line;
}

char16_t TPlusNavigatorU::CharAtPos(int32_t pos) {
  SetPos(pos);
  return CharAt();
}

void TPlusNavigatorU::NextWord(const TCharSet& separators) {
  const int32_t total = List().TextLength;
  Resolve();
  if (parOffset_ >= List().Length(parNumber_) && pos_ < total) {
    SetPos(std::min(pos_ + 2 - (parOffset_ - List().Length(parNumber_)), total));
    return;
  }
  const int32_t start = pos_;
  while (pos_ < total && !separators.Contains(CharAtPos(pos_))) SetPos(pos_ + 1);
  if (pos_ == start && ParOffset() == List().Length(parNumber_) && pos_ < total) SetPos(std::min(pos_ + 2, total));
  while (pos_ < total && separators.Contains(CharAtPos(pos_))) SetPos(pos_ + 1);
}

void TPlusNavigatorU::PrevWord(const TCharSet& separators) {
  if (pos_ <= 0) {
    SetPos(0);
    return;
  }
  int32_t p = pos_ - 1;
  while (p > 0 && separators.Contains(CharAtPos(p))) --p;
  if (separators.Contains(CharAtPos(p))) {
    SetPos(p);
    return;
  }
  while (p > 0 && !separators.Contains(CharAtPos(p - 1))) --p;
  SetPos(p);
}

void TPlusNavigatorU::WordEnd(const TCharSet& separators) {
  Resolve();
  const std::u16string_view text = List().TextView(parNumber_);
  int32_t o = std::min<int32_t>(parOffset_, static_cast<int32_t>(text.size()));
  while (o < static_cast<int32_t>(text.size()) && !separators.Contains(text[static_cast<size_t>(o)])) ++o;
  SetParOffset(o);
}

void TPlusNavigatorU::WordStart(const TCharSet& separators) {
  Resolve();
  const std::u16string_view text = List().TextView(parNumber_);
  int32_t o = std::min<int32_t>(parOffset_, static_cast<int32_t>(text.size()));
  auto charAt = [&](int32_t i) { return i < static_cast<int32_t>(text.size()) ? text[static_cast<size_t>(i)] : u'\r'; };
  while (o > 0 && separators.Contains(charAt(o))) --o;
  while (o > 0 && !separators.Contains(charAt(o - 1))) --o;
  SetParOffset(o);
}

void TPlusNavigatorU::InsertDynInfo(const TDynInfo& run) {
  ResolveRuns();
  TDynInfo copy = run;
  copy.Offset = parOffset_;
  List().InsertRun(parNumber_, dynNumber_, copy);
  ++dynNumber_;
}

void TPlusNavigatorU::RemoveDynInfo() {
  ResolveRuns();
  TParagraphsList& list = List();
  if (dynNumber_ >= list.RunCount(parNumber_) || list.RunOffset(parNumber_, dynNumber_) != parOffset_)
    throw Exception(kInternalPlusMemoError);
  list.EraseRuns(parNumber_, dynNumber_, 1);
}

bool TPlusNavigatorU::NextDynInfo(int32_t limit) {
  ResolveRuns();
  const TParagraphsList& list = List();
  int par = parNumber_;
  int32_t after = parOffset_;  // a run start must lie beyond this offset
  for (; par < list.Count; ++par, after = -1) {
    const int32_t start = list.StartOffset(par);
    if (start > limit) return false;
    const int n = list.RunCount(par);
    const TRunRec* runs = list.RunRecs(par);
    for (int i = 0; i < n; ++i) {
      if (runs[i].Offset <= after) continue;
      if (start + runs[i].Offset > limit) return false;
      SetPos(start + runs[i].Offset);
      Resolve();
      dynNumber_ = i;
      return true;
    }
  }
  return false;
}

bool TPlusNavigatorU::PrevDynInfo(int32_t limit) {
  Resolve();
  const TParagraphsList& list = List();
  int par = parNumber_;
  int32_t before = parOffset_;  // a run start must lie before this offset
  for (; par >= 0; --par, before = INT32_MAX) {
    const int32_t start = list.StartOffset(par);
    if (start + list.Length(par) + 1 < limit) return false;
    const int n = list.RunCount(par);
    const TRunRec* runs = list.RunRecs(par);
    for (int i = n - 1; i >= 0; --i) {
      if (runs[i].Offset >= before) continue;
      if (start + runs[i].Offset < limit) return false;
      SetPos(start + runs[i].Offset);
      Resolve();
      dynNumber_ = i;
      return true;
    }
  }
  return false;
}

void TPlusNavigatorU::SkipDynAtPos() {
  ResolveRuns();
  const TParagraphsList& list = List();
  const int n = list.RunCount(parNumber_);
  const TRunRec* runs = list.RunRecs(parNumber_);
  while (dynNumber_ < n && runs[dynNumber_].Offset <= parOffset_) ++dynNumber_;
}

TLinesList& TPlusNavigatorU::LinesAccess() {
  Resolve();
  if (!linesAccess_) linesAccess_ = std::make_unique<TLinesList>(List(), parNumber_);
  linesAccess_->SetParagraph(parNumber_);
  return *linesAccess_;
}

int32_t OffsetToColumn(std::u16string_view text, int32_t offset, int tabStops, bool staticFormat) {
  int32_t column = 0;
  const int32_t stop = std::min<int32_t>(offset, static_cast<int32_t>(text.size()));
  for (int32_t i = 0; i < stop; ++i) {
    const char16_t c = text[static_cast<size_t>(i)];
    if (staticFormat && FormatCodeMask(c) != 0) continue;
    column = (c == u'\t' && tabStops > 0) ? tabStops * (column / tabStops + 1) : column + 1;
  }
  return column;
}

int32_t ColumnToOffset(std::u16string_view text, int32_t column, int tabStops, bool staticFormat) {
  int32_t current = 0;
  int32_t i = 0;
  for (; i < static_cast<int32_t>(text.size()); ++i) {
    const char16_t c = text[static_cast<size_t>(i)];
    if (staticFormat && FormatCodeMask(c) != 0) continue;
    const int32_t next = (c == u'\t' && tabStops > 0) ? tabStops * (current / tabStops + 1) : current + 1;
    if (next > column) break;
    current = next;
  }
  return i;
}

}  // namespace qm
