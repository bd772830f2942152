// TPlusMemoU: store ownership, the navigator registry and the replace path that moves navigators.
#include "editor/control/PlusMemoU.h"

#include <algorithm>
#include <exception>

#include "editor/control/StringsViews.h"
#include "editor/highlight/Highlighter.h"
#include "editor/highlight/Scan.h"
#include "platform/Exceptions.h"
#include "platform/LargeTable.h"

namespace qm {

TCharSet DefaultSeparators() { return TCharSet(u"\t\n\r $%&,./:;<=>"); }

TPlusMemoU::TPlusMemoU()
    : paragraphs_(std::make_unique<TParagraphsList>()),
      selStartNav_(std::make_unique<TPlusNavigatorU>(this)),
      selStopNav_(std::make_unique<TPlusNavigatorU>(this)),
      caretNav_(std::make_unique<TPlusNavigatorU>(this)) {}

TPlusMemoU::~TPlusMemoU() {
  // Listeners (the gutter) drop their reference while the control is still whole.
  NotifyListeners(pnMemoDestroyed);
  listeners_.clear();
  SetHost(nullptr);
  UnlinkHighlighter();
  // Navigators that outlive the control become free-standing.
  for (TPlusNavigatorU* nav : navigators_) {
    nav->memo_ = nullptr;
    nav->host_ = nullptr;
  }
}

TPlusLinesStrings& TPlusMemoU::Lines() {
  if (!lines_) lines_ = std::make_unique<TPlusLinesStrings>(*this);
  return *lines_;
}

void TPlusMemoU::RegisterNavigator(TPlusNavigatorU* nav) { navigators_.push_back(nav); }

void TPlusMemoU::UnregisterNavigator(TPlusNavigatorU* nav) {
  const auto it = std::find(navigators_.rbegin(), navigators_.rend(), nav);
  if (it != navigators_.rend()) navigators_.erase(std::next(it).base());
}

std::u16string TPlusMemoU::Text() const { return GetTextRange(0, TextLength()); }

std::u16string TPlusMemoU::ParagraphText(int i) const { return std::u16string(paragraphs_->TextView(i)); }

int32_t TPlusMemoU::ParagraphStart(int i) const { return paragraphs_->StartOffset(i); }

std::u16string TPlusMemoU::GetTextRange(int32_t start, int32_t stop) const {
  start = std::max(start, 0);
  stop = std::min(stop, TextLength());
  if (start >= stop) return {};
  const TParagraphsList& list = *paragraphs_;
  std::u16string out;
  out.reserve(static_cast<size_t>(stop - start));
  AdviseHugePages(out.data(), out.capacity() * sizeof(char16_t));
  int par = list.ParagraphOfPosition(start);
  int32_t offset = start - list.StartOffset(par);
  int32_t left = stop - start;
  while (left > 0 && par < list.Count) {
    const std::u16string_view text = list.TextView(par);
    const int32_t length = static_cast<int32_t>(text.size());
    if (offset < length) {
      const int32_t n = std::min(length - offset, left);
      out.append(text.substr(static_cast<size_t>(offset), static_cast<size_t>(n)));
      left -= n;
      offset += n;
      continue;
    }
    if (offset == length) {
      out.push_back(u'\r');
      --left;
    }
    if (left > 0) {
      out.push_back(u'\n');
      --left;
    }
    ++par;
    offset = 0;
  }
  return out;
}

TReplaceResult TPlusMemoU::ReplaceRange(int32_t start, int32_t stop, std::u16string_view text) {
  // The text may come from the store itself; replace from a copy.
  return ReplaceRangeOwned(start, stop, std::u16string(text));
}

TReplaceResult TPlusMemoU::ReplaceRangeOwned(int32_t start, int32_t stop, std::u16string copy) {
  TParagraphsList& list = *paragraphs_;
  if (stop < start) std::swap(start, stop);
  start = std::clamp(start, 0, list.TextLength);
  stop = std::clamp(stop, 0, list.TextLength);
  int p = list.ParagraphOfPosition(start);
  int32_t s = start - list.StartOffset(p);
  // A range end between the two characters of a break takes the whole break.
  if (s > list.Length(p)) {
    --start;
    --s;
  }
  int q = list.ParagraphOfPosition(stop);
  int32_t e = stop - list.StartOffset(q);
  if (e > list.Length(q)) {
    ++stop;
    ++q;
    e = 0;
  }
  ++editGeneration_;
  const TDynInfo startStyle = scan::StyleAt(list, p, s, false);
  const int32_t linesBefore = list.LineCount;
  const TReplaceResult r = list.Replace(p, s, q, e, copy);
  marks_.Follow(start, stop, r.LengthDelta);
  if (host_ != nullptr) {
    if (dirtyFrom_ > dirtyTo_) dirtyLineCount_ = linesBefore;
    dirtyFrom_ = std::min(dirtyFrom_, r.FirstParagraph);
    // Earlier paragraphs after a deletion of breaks: the tail moved up.
    dirtyTo_ = r.ParagraphsAdded == 0 ? std::max(dirtyTo_, r.TailParagraph) : INT32_MAX;
  }

  for (TPlusNavigatorU* nav : navigators_) {
    if (nav->pos_ > stop) {
      nav->pos_ += r.LengthDelta;
      if (nav->parNumber_ > q) {
        nav->parNumber_ += r.ParagraphsAdded;
      } else if (nav->parNumber_ == q) {
        nav->parNumber_ = r.TailParagraph;
        nav->parOffset_ = nav->parOffset_ - e + r.TailOffset;
        nav->dynNumber_ = -1;
        nav->lineInPar_ = -1;
      } else {
        nav->Invalidate();
      }
    } else if (nav->pos_ >= start) {
      nav->pos_ = start;
      if (nav->ResetOnChange) {
        nav->Invalidate();
      } else {
        nav->parNumber_ = p;
        nav->parOffset_ = s;
        nav->dynNumber_ = -1;
        nav->lineInPar_ = -1;
      }
    } else if (nav->parNumber_ == p) {
      // Runs and lines of the changed paragraph may differ now.
      nav->dynNumber_ = -1;
      nav->lineInPar_ = -1;
    }
  }
  RepairHighlighting(r, startStyle, start, stop + r.LengthDelta);
  return r;
}

void TPlusMemoU::RepairHighlighting(const TReplaceResult& r, const TDynInfo& startStyle, int32_t start,
                                    int32_t newEnd) {
  TParagraphsList& list = *paragraphs_;
  // Paragraphs the new text created are parsed when they are needed; until
  // then the scan hands styles on to them like to any changed paragraph.
  for (int i = r.FirstParagraph + 1; i <= r.TailParagraph; ++i) list.SetFlags(i, list.Flags(i) & ~pfHighlightBits);
  // Attributes without a key that lost no runs need no new parse.
  if ((startStyle.Kind & dkHighlight) && !(startStyle.Kind & dkKeyOpened) && !r.RunsRemoved) return;
  if (OnParse) OnParse(this, start, newEnd);
  const int p = r.FirstParagraph;
  const uint8_t flags = list.Flags(p);
  // A paragraph past the one after ScannedUpTo holds runs of an older text
  // whatever its flags say: parsed now, a closing span in it would take the
  // style outside the span from paragraphs above that the scan has not
  // reached yet. It waits for the scan to reach it in order, as an edit in an
  // update does.
  if (UpdateCount > 0 || p > list.ScannedUpTo + 1) {
    // The scan resumes from this paragraph: it parses no paragraph at or
    // before ScannedUpTo, whatever its flags say.
    list.SetFlags(p, flags & ~pfHighlightBits);
    list.ScannedUpTo = std::min(list.ScannedUpTo, p - 1);
    return;
  }
  // The whole paragraph is parsed again from its start style: what the scan
  // finds is then exactly what a fresh parse of the same text finds.
  if (flags & pfSpansParsed) scan::ParseSpans(*this, p);
  if (flags & pfKeywordsApplied) {
    const int32_t at = list.StartOffset(p);
    scan::ApplyKeywords(*this, at, at + list.Length(p));
    list.SetFlags(p, list.Flags(p) | pfKeywordsApplied);
  }
}

void TPlusMemoU::SetHighlighter(TPlusHighlighterU* highlighter) {
  if (highlighter == highlighter_) return;
  UnlinkHighlighter();
  highlighter_ = highlighter;
  if (highlighter_ != nullptr) highlighter_->AttachEditor(this);
  HighlightingChanged();
}

void TPlusMemoU::UnlinkHighlighter() {
  if (highlighter_ == nullptr) return;
  highlighter_->DetachEditor(this);
  highlighter_ = nullptr;
}

void TPlusMemoU::HighlightingChanged() {
  // Runs of the old rules would otherwise stay where nothing edits.
  scan::ResetHighlighting(*this);
  ++editGeneration_;
  LayoutChanged();
}

void TPlusMemoU::SetUpperCaseType(TpmUpperCase type) {
  upperCaseType_ = type;
  findFolded_.Forget();  // the search's folded copy was folded the old way
  Keywords.SetUpperCaseType(type);
  StartStopKeys.SetUpperCaseType(type);
}

void TPlusMemoU::Reload() {
  // The round trip keeps every character (format-code pairs included); only
  // trailing blanks go when the option asks for it.
  TMemoryStream stream;
  paragraphs_->SaveToStream(stream, false, ProgressInterval, nullptr, LineBreak,
                            Options.Contains(pmoDiscardTrailingSpaces));
  stream.SetPosition(0);
  LoadFromStream(stream);
}

void TPlusMemoU::SetStaticFormat(bool on) {
  if (on == paragraphs_->StaticFormat) return;
  paragraphs_->StaticFormat = on;
  // Format codes change the start state of every paragraph; a round trip
  // through a stream recomputes them.
  if (TextLength() > 0) Reload();
}

void TPlusMemoU::SetOptions(TPlusMemoOptions options) {
  const bool trim = options.Contains(pmoDiscardTrailingSpaces) && !Options.Contains(pmoDiscardTrailingSpaces);
  Options = options;
  if (trim) Reload();
}

void TPlusMemoU::AddListener(TPlusMemoListener* listener) { listeners_.push_back(listener); }

void TPlusMemoU::RemoveListener(TPlusMemoListener* listener) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void TPlusMemoU::NotifyListeners(uint32_t flags) {
  const std::vector<TPlusMemoListener*> listeners = listeners_;
  for (TPlusMemoListener* l : listeners) l->MemoNotify(*this, flags);
}

void TPlusMemoU::SetSeparators(const TCharSet& separators) {
  Separators = separators;
  StartStopKeys.InvalidateSeparators();
}

scan::TParagraphText& TPlusMemoU::ScanText(int par) {
  const std::u16string_view text = paragraphs_->TextView(par);
  if (par != scanTextPar_ || scanTextGeneration_ != editGeneration_ || scanText_.Plain().data() != text.data() ||
      scanText_.Plain().size() != text.size()) {
    scanText_.Reset(text);
    scanTextPar_ = par;
    scanTextGeneration_ = editGeneration_;
  }
  return scanText_;
}

void TPlusMemoU::LoadFromStream(TStream& stream) {
  ++editGeneration_;
  marks_.Clear();
  auto progress = [this] {
    if (OnProgress) OnProgress(this);
  };
  BeginUpdate();
  ClearUndo();
  loading_ = true;
  struct Done {
    TPlusMemoU& memo;
    ~Done() {
      memo.loading_ = false;
      memo.selLength_ = 0;
      memo.BlockMode = false;
      memo.VirtualColumn = 0;
      for (TPlusNavigatorU* nav : memo.navigators_) {
        nav->pos_ = 0;
        nav->Invalidate();
      }
    }
  };
  // A failed load keeps the paragraphs read so far (the store's counters are
  // right again when it returns); the control takes them in as it takes a
  // whole text, and leaves its update, before the failure goes on.
  std::exception_ptr failure;
  {
    Done done{*this};
    try {
      const TPlusLineBreak detected = paragraphs_->LoadFromStream(stream, NullReplacement, ProgressInterval, progress,
                                                                  Options.Contains(pmoDiscardTrailingSpaces));
      if (Options.Contains(pmoAutoLineBreak)) LineBreak = detected;
    } catch (...) {
      failure = std::current_exception();
    }
  }
  if (OnParse) OnParse(this, 0, TextLength());
  if (OnProgress) OnProgress(this);
  if (layout_) {
    layout_->ForgetWidestLine();
    SetScrollPos(0, 0);
    host_->Invalidate();
  }
  paragraphs_->Changed = true;
  EndUpdate();
  if (failure) std::rethrow_exception(failure);
}

void TPlusMemoU::SetMarks(std::vector<TTextMark> marks) {
  marks_.Set(std::move(marks));
  if (host_ != nullptr) host_->Invalidate();
  NotifyListeners(pnRepaint);
}

void TPlusMemoU::SaveToStream(TStream& stream) {
  auto progress = [this] {
    if (OnProgress) OnProgress(this);
  };
  paragraphs_->SaveToStream(stream, true, ProgressInterval, progress, LineBreak,
                            Options.Contains(pmoDiscardTrailingSpaces));
}

}  // namespace qm
