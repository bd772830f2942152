// TScriptCheck: checks the script editor's text after a pause in typing, away from the typing thread, and marks what it finds.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "checker/ScriptChecker.h"
#include "editor/control/PlusMemoU.h"

namespace qm {

class TScriptCheck : public QObject {
  Q_OBJECT

 public:
  // The pause in typing after which the text is checked again.
  static constexpr int kPauseMs = 500;
  static constexpr TColor kErrorColour = 0x0000FF;    // red
  static constexpr TColor kWarningColour = 0x0080FF;  // orange

  TScriptCheck(TPlusMemoU& memo, QObject* parent);
  ~TScriptCheck() override;

  void SetVocabulary(check::TScriptVocabulary vocabulary);

  // A change of the text: the marks already follow it; a check starts after the pause.
  void TextChanged();
  // Starts a check of the text as it is now (after an open or a new script).
  void CheckSoon();
  // Checks the text at once, here, and marks it; the problems found.
  const std::vector<check::TDiagnostic>& CheckNow();

  // The problems of the last check, and their counts.
  const std::vector<check::TDiagnostic>& Diagnostics() const { return diagnostics_; }
  check::TDiagnosticCounts Counts() const { return counts_; }
  // True while a check is waiting for the pause or running.
  bool Pending() const { return timer_.isActive() || running_; }

  // The mark after the caret (forward) or before it, wrapping round the
  // text; nullptr when the text holds none.
  const TTextMark* NextMark(bool forward) const;

  // A problem as the message pane and the tool tip show it.
  static std::u16string Describe(const check::TDiagnostic& d);

  // Called after each check's marks are set.
  std::function<void()> OnChecked;

 private:
  struct TResult {
    uint64_t Edit = 0;  // the edit count of the text checked
    std::vector<check::TDiagnostic> Diagnostics;
  };
  void Start();
  void Finished();
  // Marks the text, as it was checked, with the problems found.
  void Apply(std::vector<check::TDiagnostic> diagnostics);

  TPlusMemoU& memo_;
  std::shared_ptr<const check::TScriptRules> rules_;
  std::shared_ptr<const check::TScriptVocabulary> vocabulary_;
  uint64_t edits_ = 0;  // text changes so far; a check of an older text is dropped
  QTimer timer_;
  QFutureWatcher<TResult> watcher_;
  bool running_ = false;  // from a check's start until its result is taken
  bool again_ = false;    // the text changed while a check ran
  std::vector<check::TDiagnostic> diagnostics_;
  check::TDiagnosticCounts counts_;
};

}  // namespace qm
