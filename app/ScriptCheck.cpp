// The script editor's background check: the pause timer, the worker, and the marks made of its problems.
#include "app/ScriptCheck.h"

#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

#include "app/chain/ChainConfig.h"

namespace qm {

namespace {

// The problems of a text; a text of blanks alone has none (nothing is written yet).
std::vector<check::TDiagnostic> CheckText(const std::u16string& text, const check::TScriptRules& rules,
                                          const check::TScriptVocabulary& vocabulary) {
  if (text.find_first_not_of(u" \t\r\n") == std::u16string::npos) return {};
  // The editor joins its paragraphs with CR LF; a lone LF stays inside one.
  return check::CheckScript(check::SplitLines(text, true), rules, vocabulary);
}

}  // namespace

TScriptCheck::TScriptCheck(TPlusMemoU& memo, QObject* parent)
    : QObject(parent),
      memo_(memo),
      rules_(std::make_shared<const check::TScriptRules>(check::ParseScriptRules(ScriptRulesText()))),
      vocabulary_(std::make_shared<const check::TScriptVocabulary>()) {
  timer_.setSingleShot(true);
  timer_.setInterval(kPauseMs);
  connect(&timer_, &QTimer::timeout, this, [this] { Start(); });
  connect(&watcher_, &QFutureWatcher<TResult>::finished, this, [this] { Finished(); });
}

TScriptCheck::~TScriptCheck() {
  // The worker owns copies of all it reads; waiting keeps the pool tidy at exit.
  watcher_.waitForFinished();
}

void TScriptCheck::SetVocabulary(check::TScriptVocabulary vocabulary) {
  vocabulary_ = std::make_shared<const check::TScriptVocabulary>(std::move(vocabulary));
}

void TScriptCheck::TextChanged() {
  ++edits_;
  timer_.start();
}

void TScriptCheck::CheckSoon() {
  timer_.stop();
  Start();
}

void TScriptCheck::Start() {
  if (running_) {
    // One check at a time: the newer text is checked when this one ends.
    again_ = true;
    return;
  }
  again_ = false;
  running_ = true;
  const uint64_t edit = edits_;
  auto text = std::make_shared<const std::u16string>(memo_.Text());
  watcher_.setFuture(QtConcurrent::run([edit, text, rules = rules_, vocabulary = vocabulary_] {
    return TResult{edit, CheckText(*text, *rules, *vocabulary)};
  }));
}

void TScriptCheck::Finished() {
  running_ = false;
  TResult result = watcher_.result();
  if (again_) {
    Start();
    return;
  }
  // A check of a text edited since waits for the pause timer's own check.
  if (result.Edit == edits_) Apply(std::move(result.Diagnostics));
}

const std::vector<check::TDiagnostic>& TScriptCheck::CheckNow() {
  timer_.stop();
  // A running check is of this text or an older one: its result is dropped.
  if (running_) ++edits_;
  Apply(CheckText(memo_.Text(), *rules_, *vocabulary_));
  return diagnostics_;
}

void TScriptCheck::Apply(std::vector<check::TDiagnostic> diagnostics) {
  const TParagraphsList& list = memo_.Paragraphs();
  std::vector<TTextMark> marks;
  marks.reserve(diagnostics.size());
  for (const check::TDiagnostic& d : diagnostics) {
    if (d.Line >= list.Count) continue;  // cannot happen for the text checked; kept safe all the same
    const int32_t column = std::min(d.Column, list.Length(d.Line));
    const bool error = d.Severity == check::TSeverity::Error;
    marks.push_back(TTextMark{list.StartOffset(d.Line) + column, std::max(d.Length, 1),
                              error ? kErrorColour : kWarningColour, static_cast<uint8_t>(error ? 2 : 1), Describe(d)});
  }
  std::stable_sort(marks.begin(), marks.end(),
                   [](const TTextMark& a, const TTextMark& b) { return a.Start < b.Start; });
  memo_.SetMarks(std::move(marks));
  diagnostics_ = std::move(diagnostics);
  counts_ = check::CountDiagnostics(diagnostics_);
  if (OnChecked) OnChecked();
}

const TTextMark* TScriptCheck::NextMark(bool forward) const {
  const std::vector<TTextMark>& marks = memo_.Marks().All();
  if (marks.empty()) return nullptr;
  const int32_t caret = memo_.SelStart();
  if (forward) {
    const auto it = std::upper_bound(marks.begin(), marks.end(), caret,
                                     [](int32_t pos, const TTextMark& m) { return pos < m.Start; });
    return it == marks.end() ? &marks.front() : &*it;
  }
  const auto it = std::lower_bound(marks.begin(), marks.end(), caret,
                                   [](const TTextMark& m, int32_t pos) { return m.Start < pos; });
  return it == marks.begin() ? &marks.back() : &*(it - 1);
}

std::u16string TScriptCheck::Describe(const check::TDiagnostic& d) {
  return (d.Severity == check::TSeverity::Error ? u"Ошибка: " : u"Предупреждение: ") + d.Message;
}

}  // namespace qm
