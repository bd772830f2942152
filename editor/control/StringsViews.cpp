// The strings views: list operations turned into selections and replacements of the control.
#include "editor/control/StringsViews.h"

#include <algorithm>
#include <cstring>

#include "editor/control/PlusMemoU.h"
#include "editor/store/Navigator.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/FileStream.h"

namespace qm {

namespace {

constexpr std::u16string_view kBreak = u"\r\n";

// Loads UTF-16 text through the control's own load, which detects every kind
// of line break and resets undo, selection and navigators as a file load does.
void LoadWide(TPlusMemoU& memo, std::u16string_view text) {
  std::vector<uint8_t> bytes(text.size() * sizeof(char16_t));
  if (!bytes.empty()) std::memcpy(bytes.data(), text.data(), bytes.size());
  TMemoryStream stream(std::move(bytes));
  memo.LoadFromStream(stream);
}

// Runs body inside one update of the control, so that several edits are laid
// out and announced once. EndUpdate is not left to a destructor: it fires
// OnChange, whose handler may throw.
template <typename Body>
void InsideUpdate(TPlusMemoU& memo, Body&& body) {
  memo.BeginUpdate();
  try {
    body();
  } catch (...) {
    memo.EndUpdate();
    throw;
  }
  memo.EndUpdate();
}

// Where display line `line` (which must exist) lies in the text.
struct TDisplayLine {
  int Par = 0;
  bool EndsParagraph = true;
  int32_t Start = 0;
  int32_t Stop = 0;
};

TDisplayLine LocateLine(TPlusMemoU& memo, int line) {
  TPlusNavigatorU nav(&memo);
  nav.SetLineNumber(line);
  TDisplayLine where;
  where.Par = nav.ParNumber();
  const int inPar = nav.LineInPar();
  const TParagraphsList& list = memo.Paragraphs();
  const TLineInfo info = list.LineInfo(where.Par, inPar);
  const int32_t length = list.Length(where.Par);
  const int32_t parStart = list.StartOffset(where.Par);
  where.EndsParagraph = inPar == list.LineCountOf(where.Par) - 1;
  where.Start = parStart + std::clamp(info.LineStart, 0, length);
  where.Stop = parStart + std::clamp(info.LineStop, info.LineStart, length);
  return where;
}

std::u16string LineTextAt(TPlusMemoU& memo, int line) {
  memo.LayOutUpToLine(line);
  TPlusNavigatorU nav(&memo);
  nav.SetLineNumber(line);
  return nav.LineText();
}

}  // namespace

// --- TPlusMemoUStrings

std::string TPlusMemoUStrings::Text() const { return WideToAnsi(memo_.Text()); }

void TPlusMemoUStrings::SetText(const std::string& text) { memo_.SetText(AnsiToWide(text)); }

void TPlusMemoUStrings::Clear() { memo_.Clear(); }

void TPlusMemoUStrings::BeginUpdate() { memo_.BeginUpdate(); }

void TPlusMemoUStrings::EndUpdate() { memo_.EndUpdate(); }

void TPlusMemoUStrings::Assign(const TPlusMemoUStrings& source) {
  // Reloading a control from itself would change nothing but drop its undo history.
  if (&source.memo_ == &memo_) return;
  TMemoryStream stream;
  source.memo_.SaveToStream(stream);
  stream.SetPosition(0);
  memo_.LoadFromStream(stream);
}

void TPlusMemoUStrings::Assign(const std::vector<std::string>& source) {
  std::string text;
  for (const std::string& s : source) {
    text += s;
    text += "\r\n";
  }
  SetText(text);
}

bool TPlusMemoUStrings::HasData() const { return memo_.TextLength() > 0; }

TStoredItems TPlusMemoUStrings::WriteData() const {
  TStoredWriter writer;
  for (int i = 0; i < memo_.ParagraphCount(); ++i) writer.WriteString(memo_.ParagraphText(i));
  return std::move(writer.Items);
}

void TPlusMemoUStrings::ReadData(const TStoredItems& items) {
  // The whole list is checked before anything is loaded, so a malformed list
  // leaves the text as it was.
  std::u16string text;
  bool continued = false;
  for (size_t k = 0; k < items.size(); ++k) {
    const TStoredItem& item = items[k];
    if (!item.IsString()) throw EReadError(kInvalidPropertyValue);
    if (k > 0 && !continued) text += kBreak;
    // 8-bit strings had a length limit, so a longer paragraph was stored in
    // pieces, each but the last marked by a final character 5.
    continued = item.Kind == TStoredKind::String && !item.Ansi.empty() && item.Ansi.back() == '\x05';
    if (item.Kind == TStoredKind::WideString)
      text += item.Wide;
    else
      text += AnsiToWide(continued ? std::string_view(item.Ansi).substr(0, item.Ansi.size() - 1) : item.Ansi);
  }
  LoadWide(memo_, text);
}

void TPlusMemoUStrings::LoadFromStream(TStream& stream) {
  std::string bytes;
  const int64_t left = stream.Size() - stream.Position();
  if (left > 0) bytes.reserve(static_cast<size_t>(left));
  char buffer[65536];
  // Read to the end rather than trust Size: a stream may grow or report less.
  for (size_t n; (n = stream.Read(buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
  LoadFromBytes(bytes);
}

void TPlusMemoUStrings::LoadFromBytes(std::string_view bytes) {
  // Converted as the load reads it: no converted copy of the whole text.
  TAnsiDecodingStream wide(bytes.data(), bytes.size());
  memo_.LoadFromStream(wide);
}

void TPlusMemoUStrings::SaveToStream(TStream& stream) const {
  const std::string bytes = Text();
  if (!bytes.empty()) stream.Write(bytes.data(), bytes.size());
}

void TPlusMemoUStrings::LoadFromFile(const std::string& path) {
  TFileStream stream(path, fmOpenRead);
  LoadFromStream(stream);
}

void TPlusMemoUStrings::SaveToFile(const std::string& path) const {
  SaveFileAtomically(path, [this](TStream& stream) { SaveToStream(stream); });
}

void TPlusMemoUStrings::ReplaceRange(int32_t start, int32_t stop, const std::u16string& text) const {
  memo_.SetSelStart(start);
  memo_.SetSelLength(stop - start);
  memo_.SetSelTextBuf(text.c_str());
}

void TPlusMemoUStrings::AppendParagraph(const std::u16string& text) const {
  const int32_t end = memo_.TextLength();
  const bool lastEmpty = memo_.Paragraphs().Length(memo_.ParagraphCount() - 1) == 0;
  ReplaceRange(end, end, lastEmpty ? text + std::u16string(kBreak) : std::u16string(kBreak) + text);
}

// --- TPlusParaStrings

int TPlusParaStrings::Count() const {
  const TPlusMemoU& memo = Memo();
  const int count = memo.ParagraphCount();
  return memo.Paragraphs().Length(count - 1) == 0 ? count - 1 : count;
}

std::string TPlusParaStrings::Get(int i) const {
  if (i < 0 || i >= Memo().ParagraphCount()) throw ERangeError();
  return WideToAnsi(Memo().ParagraphText(i));
}

void TPlusParaStrings::Put(int i, const std::string& s) {
  if (i < 0) throw ERangeError();
  TPlusMemoU& memo = Memo();
  const std::u16string text = AnsiToWide(s);
  const int32_t caret = memo.SelStart();
  const int32_t selection = memo.SelLength();
  const int caretPar = memo.CaretNav().ParNumber();
  InsideUpdate(memo, [&] {
    const int count = memo.ParagraphCount();
    if (i >= count) {
      // Paragraph i would be new and empty, so the missing paragraphs and its
      // characters go in as one insertion at the text end: one undo step.
      std::u16string appended;
      for (int k = count; k <= i; ++k) appended += kBreak;
      appended += text;
      ReplaceRange(memo.TextLength(), memo.TextLength(), appended);
      memo.SetSelStart(caret);
      memo.SetSelLength(selection);
      return;
    }
    const int32_t before = memo.TextLength();
    const int32_t start = memo.ParagraphStart(i);
    ReplaceRange(start, start + memo.Paragraphs().Length(i), text);
    if (i == caretPar) {
      memo.SetSelStart(start);
      return;
    }
    memo.SetSelStart(i < caretPar ? caret + memo.TextLength() - before : caret);
    memo.SetSelLength(selection);
  });
}

int TPlusParaStrings::Add(const std::string& s) {
  AppendParagraph(AnsiToWide(s));
  return Memo().ParagraphCount() - 1;
}

void TPlusParaStrings::Delete(int i) {
  const TPlusMemoU& memo = Memo();
  const int count = memo.ParagraphCount();
  if (i < 0 || i >= count) throw ERangeError();
  const int32_t start = memo.ParagraphStart(i);
  const int32_t stop = i + 1 < count ? memo.ParagraphStart(i + 1) : start + memo.Paragraphs().Length(i);
  ReplaceRange(start, stop, u"");
}

void TPlusParaStrings::Insert(int i, const std::string& s) {
  if (i < 0) throw ERangeError();
  const TPlusMemoU& memo = Memo();
  const std::u16string text = AnsiToWide(s);
  if (i < memo.ParagraphCount()) {
    const int32_t start = memo.ParagraphStart(i);
    ReplaceRange(start, start, text + std::u16string(kBreak));
  } else {
    ReplaceRange(memo.TextLength(), memo.TextLength(), std::u16string(kBreak) + text);
  }
}

// --- TPlusLinesStrings

int TPlusLinesStrings::Count() const {
  // Wrapped paragraphs have their final number of lines only once laid out.
  if (Memo().WordWrap) Memo().LayOutAllLines();
  const int lines = Memo().LineCount();
  if (lines <= 0) return 0;
  return LineTextAt(Memo(), lines - 1).empty() ? lines - 1 : lines;
}

std::string TPlusLinesStrings::Get(int i) const {
  Memo().LayOutUpToLine(i);
  if (i < 0 || i >= Memo().LineCount()) return {};
  return WideToAnsi(LineTextAt(Memo(), i));
}

void TPlusLinesStrings::Put(int i, const std::string& s) {
  Memo().LayOutUpToLine(i);
  if (i < 0 || i >= Memo().LineCount()) return;
  const TDisplayLine line = LocateLine(Memo(), i);
  ReplaceRange(line.Start, line.Stop, AnsiToWide(s));
}

int TPlusLinesStrings::Add(const std::string& s) {
  TPlusMemoU& memo = Memo();
  AppendParagraph(AnsiToWide(s));
  memo.SetSelStart(memo.TextLength());
  return memo.LineCount() - 1;
}

void TPlusLinesStrings::Delete(int i) {
  if (i < 0 || i >= Count()) return;
  TPlusMemoU& memo = Memo();
  TDisplayLine line = LocateLine(memo, i);
  if (line.EndsParagraph && line.Par + 1 < memo.ParagraphCount()) line.Stop = memo.ParagraphStart(line.Par + 1);
  ReplaceRange(line.Start, line.Stop, u"");
}

void TPlusLinesStrings::Insert(int i, const std::string& s) {
  TPlusMemoU& memo = Memo();
  const int lines = memo.LineCount();
  if (i < 0 || i > lines) return;
  const std::u16string text = AnsiToWide(s);
  if (i < lines) {
    const int32_t start = LocateLine(memo, i).Start;
    ReplaceRange(start, start, text + std::u16string(kBreak));
  } else {
    ReplaceRange(memo.TextLength(), memo.TextLength(), std::u16string(kBreak) + text);
  }
}

}  // namespace qm
