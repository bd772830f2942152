// The replace dialog: its controls, the searches and replacements it runs in the script editor, and its stored position.
#include "app/ReplaceDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/ErrorBox.h"
#include "app/FindDialog.h"
#include "app/MainWindow.h"
#include "editor/control/TextReplace.h"

namespace qm {

namespace {

constexpr const char* kSection = "ReplaceWindow";
constexpr int kReportMs = 10000;

}  // namespace

TReplaceDialog::TReplaceDialog(TForm1& form1) : QDialog(&form1, Qt::Dialog | Qt::WindowStaysOnTopHint), form1_(form1) {
  setWindowTitle("Замена");
  setModal(false);
  FindEdit = new QLineEdit;
  ReplaceEdit = new QLineEdit;
  auto* findLabel = new QLabel("Найти:");
  auto* replaceLabel = new QLabel("Заменить на:");
  findLabel->setBuddy(FindEdit);
  replaceLabel->setBuddy(ReplaceEdit);
  Direction = new TRadioGroup("Направление", {"Вниз", "Вверх"}, this);
  Direction->SetItemIndex(0);
  MatchCase = new QCheckBox("С учетом регистра");
  WholeWord = new QCheckBox("Слово целиком");
  InSelection = new QCheckBox("Только в выделенном");
  Specials = new QCheckBox("Спецсимволы (\\n, \\t)");
  FindNextButton = new QPushButton("Найти далее");
  ReplaceButton = new QPushButton("Заменить");
  ReplaceAllButton = new QPushButton("Заменить все");
  CloseButton = new QPushButton("Закрыть");
  FindNextButton->setDefault(true);
  for (QPushButton* b : {ReplaceButton, ReplaceAllButton, CloseButton}) b->setAutoDefault(false);

  auto* options = new QVBoxLayout;
  for (QCheckBox* box : {MatchCase, WholeWord, InSelection, Specials}) options->addWidget(box);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {FindNextButton, ReplaceButton, ReplaceAllButton, CloseButton}) buttons->addWidget(b);
  buttons->addStretch(1);
  auto* grid = new QGridLayout(this);
  grid->addWidget(findLabel, 0, 0);
  grid->addWidget(FindEdit, 0, 1, 1, 2);
  grid->addWidget(replaceLabel, 1, 0);
  grid->addWidget(ReplaceEdit, 1, 1, 1, 2);
  grid->addWidget(Direction, 2, 0, 1, 2, Qt::AlignTop);
  grid->addLayout(options, 2, 2);
  grid->addLayout(buttons, 0, 3, 3, 1);
  grid->setColumnStretch(2, 1);
  grid->setSizeConstraint(QLayout::SetFixedSize);
  setTabOrder(FindEdit, ReplaceEdit);
  FindEdit->setMinimumWidth(220);

  connect(FindNextButton, &QPushButton::clicked, this, Guarded([this] { FindNextClick(); }));
  connect(ReplaceButton, &QPushButton::clicked, this, Guarded([this] { ReplaceClick(); }));
  connect(ReplaceAllButton, &QPushButton::clicked, this, Guarded([this] { ReplaceAllClick(); }));
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
  // Ctrl+Alt+Enter, on either Enter key, replaces every match.
  for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto* all = new QShortcut(QKeySequence(Qt::CTRL | Qt::ALT | key), this);
    connect(all, &QShortcut::activated, this, Guarded([this] {
              if (ReplaceAllButton->isEnabled()) ReplaceAllClick();
            }));
  }
  RestoreDialogPosition(*this, kSection);
}

void TReplaceDialog::done(int result) {
  StoreDialogPosition(*this, kSection);
  QDialog::done(result);
}

void TReplaceDialog::Prepare() {
  const TPlusMemoU& memo = form1_.PlusMemoU1;
  std::u16string seed = memo.SelText();
  if (seed.empty() || seed.find_first_of(u"\r\n") != std::u16string::npos) seed = memo.WordAtCaret();
  if (!seed.empty()) {
    FindEdit->setText(QString::fromStdU16String(seed));
    ReplaceEdit->setText(QString::fromStdU16String(seed));
  }
  const bool editable = !memo.ReadOnly;
  ReplaceButton->setEnabled(editable);
  ReplaceAllButton->setEnabled(editable);
  FindEdit->setFocus();
  FindEdit->selectAll();
}

std::u16string TReplaceDialog::Pattern() const {
  const std::u16string typed = FindEdit->text().toStdU16String();
  return Specials->isChecked() ? ExpandSpecials(typed) : typed;
}

std::u16string TReplaceDialog::Replacement() const {
  const std::u16string typed = ReplaceEdit->text().toStdU16String();
  return Specials->isChecked() ? ExpandSpecials(typed) : typed;
}

bool TReplaceDialog::Down() const { return Direction->ItemIndex() == 0; }

void TReplaceDialog::Report(const QString& message) { form1_.statusBar()->showMessage(message, kReportMs); }

bool TReplaceDialog::FindNextClick() {
  const std::u16string pattern = Pattern();
  if (pattern.empty()) return false;
  TPlusMemoU& memo = form1_.PlusMemoU1;
  memo.SetSelStart(memo.SelStart());
  const bool found = memo.FindAcross(pattern, Down(), WholeWord->isChecked(), MatchCase->isChecked());
  if (!found) Report("Не найдено: «" + FindEdit->text() + "»");
  return found;
}

void TReplaceDialog::ReplaceClick() {
  TPlusMemoU& memo = form1_.PlusMemoU1;
  if (memo.ReadOnly) return;
  const std::u16string pattern = Pattern();
  if (memo.SelectionMatches(pattern, WholeWord->isChecked(), MatchCase->isChecked())) {
    const int32_t start = memo.SelStopNav().Pos() - static_cast<int32_t>(pattern.size());
    memo.SetSelText(Replacement());
    // Upwards the search goes on before the replacement, so that it is never searched again.
    if (!Down()) memo.SetSelStart(start);
  }
  FindNextClick();
}

void TReplaceDialog::ReplaceAllClick() {
  TPlusMemoU& memo = form1_.PlusMemoU1;
  const int count = memo.ReplaceAll(Pattern(), Replacement(), WholeWord->isChecked(), MatchCase->isChecked(),
                                    InSelection->isChecked());
  Report(QString("Заменено: %1").arg(count));
}

}  // namespace qm
