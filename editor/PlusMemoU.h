// TPlusMemoU: the editor control. This holds its paragraph store, its navigators and the replace path they follow.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/Component.h"
#include "editor/KeywordList.h"
#include "editor/Navigator.h"
#include "editor/Options.h"
#include "editor/Paragraphs.h"
#include "editor/Scan.h"
#include "editor/StartStopList.h"
#include "editor/Types.h"
#include "platform/Stream.h"

namespace qm {

// The default word separators: TAB, LF, CR, space and $%&,./:;<=>.
TCharSet DefaultSeparators();

class TPlusHighlighterU;

// Sender, StartOffset, StopOffset.
using TParseEvent = std::function<void(TComponent* sender, int32_t startOffset, int32_t stopOffset)>;

class TPlusMemoU : public TComponent {
 public:
  TPlusMemoU();
  ~TPlusMemoU() override;

  TParagraphsList& Paragraphs() { return *paragraphs_; }
  const TParagraphsList& Paragraphs() const { return *paragraphs_; }

  // Navigators register on creation and unregister on destruction.
  void RegisterNavigator(TPlusNavigatorU* nav);
  void UnregisterNavigator(TPlusNavigatorU* nav);
  const std::vector<TPlusNavigatorU*>& Navigators() const { return navigators_; }

  // Queries.
  int32_t TextLength() const { return paragraphs_->TextLength; }
  int ParagraphCount() const { return paragraphs_->Count; }
  int LineCount() const { return paragraphs_->LineCount; }
  std::u16string Text() const;
  std::u16string ParagraphText(int i) const;
  int32_t ParagraphStart(int i) const;
  std::u16string GetTextRange(int32_t start, int32_t stop) const;

  // Replaces the text between two absolute positions and moves every
  // navigator: those after the range by the length difference, those inside
  // it (or at its end) to its start, those before it stay. Highlighting is
  // repaired around the change and OnParse fires.
  TReplaceResult ReplaceRange(int32_t start, int32_t stop, std::u16string_view text);

  // The first highlighter of the chain.
  TPlusHighlighterU* Highlighter() const { return highlighter_; }
  void SetHighlighter(TPlusHighlighterU* highlighter);
  TpmUpperCase UpperCaseType() const { return upperCaseType_; }
  void SetUpperCaseType(TpmUpperCase type);
  void SetSeparators(const TCharSet& separators);
  // The editor's own keyword pass over the paragraphs of from … to.
  void ApplyOwnKeywords(int32_t from, int32_t to);
  // The text of paragraph par with its folded copy and words, shared by the
  // passes of the whole chain until the text changes.
  scan::TParagraphText& ScanText(int par);

  // UTF-16 load and save with the store's algorithms.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream);

  bool StaticFormat() const { return paragraphs_->StaticFormat; }
  void SetStaticFormat(bool on) { paragraphs_->StaticFormat = on; }

  TPlusMemoOptions Options{pmoWrapCaret, pmoInsertKeyActive, pmoWideOverwriteCaret, pmoAutoScrollBars};
  TCharSet Separators = DefaultSeparators();
  int TabStops = 8;
  bool WordWrap = true;
  TPlusLineBreak LineBreak = pbCRLF;
  char16_t NullReplacement = 0;
  unsigned ProgressInterval = 300;
  std::function<void(TComponent*)> OnProgress;
  TParseEvent OnParse;

  TKeywordList Keywords;
  TStartStopKeyList StartStopKeys;
  bool ApplyKeyWords = true;
  bool ApplyStartStopKeys = true;
  int32_t UpdateCount = 0;

 private:
  void RepairHighlighting(const TReplaceResult& r, const TDynInfo& startStyle, int32_t start, int32_t newEnd);

  std::unique_ptr<TParagraphsList> paragraphs_;
  std::vector<TPlusNavigatorU*> navigators_;
  TPlusHighlighterU* highlighter_ = nullptr;
  scan::TParagraphText scanText_;
  int scanTextPar_ = -1;
  uint64_t editGeneration_ = 0;  // advanced by every change of the text
  uint64_t scanTextGeneration_ = ~uint64_t{0};
  TpmUpperCase upperCaseType_ = pmuAscii;
};

}  // namespace qm
