// The go-to-line dialog: its digits-only number, the caret move and its stored position.
#include "app/GoToLineDialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include <limits>

#include "app/ErrorBox.h"
#include "app/FindDialog.h"
#include "app/MainWindow.h"
#include "qt/PlusMemoWidget.h"

namespace qm {

TForm5::TForm5(TForm1& form1) : QDialog(&form1, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), form1_(form1) {
  setWindowTitle("Перейти к строке...");
  setFixedSize(241, 60);
  JvValidateEdit1 = new QLineEdit("0", this);
  JvValidateEdit1->setGeometry(16, 18, 121, 23);
  JvValidateEdit1->setAlignment(Qt::AlignRight);
  JvValidateEdit1->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), JvValidateEdit1));
  Button1 = new QPushButton("ОК", this);  // Cyrillic letters
  Button1->setGeometry(152, 17, 75, 25);
  // Not a default button: Enter in the edit box does not press it.
  Button1->setAutoDefault(false);
  Button1->setDefault(false);

  connect(Button1, &QPushButton::clicked, this, Guarded([this] { Button1Click(); }));
  FormCreate();
}

void TForm5::FormCreate() { RestoreDialogPosition(*this, "GoToWindow"); }

void TForm5::FormClose() { StoreDialogPosition(*this, "GoToWindow"); }

void TForm5::done(int result) {
  FormClose();
  QDialog::done(result);
}

int32_t TForm5::Value() const {
  int64_t value = 0;
  for (const QChar c : JvValidateEdit1->text()) {
    if (c < u'0' || c > u'9') continue;
    value = value * 10 + (c.unicode() - u'0');
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  }
  return static_cast<int32_t>(value);
}

void TForm5::Button1Click() {
  const int32_t n = Value();
  TPlusMemoU& memo = form1_.PlusMemoU1;
  memo.SetCaretLine(n > 0 ? n - 1 : 0);  // beyond the last line: the last line
  accept();
  form1_.activateWindow();
  form1_.PlusMemoU1Widget->setFocus();
}

}  // namespace qm
