// TPlusMemoU: the editor control. This holds its paragraph store, its navigators and the replace path they follow.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/Component.h"
#include "editor/Navigator.h"
#include "editor/Options.h"
#include "editor/Paragraphs.h"
#include "editor/Types.h"
#include "platform/Stream.h"

namespace qm {

// The default word separators: TAB, LF, CR, space and $%&,./:;<=>.
TCharSet DefaultSeparators();

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
  // it (or at its end) to its start, those before it stay.
  TReplaceResult ReplaceRange(int32_t start, int32_t stop, std::u16string_view text);

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

 private:
  std::unique_ptr<TParagraphsList> paragraphs_;
  std::vector<TPlusNavigatorU*> navigators_;
};

}  // namespace qm
