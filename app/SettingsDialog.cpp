// TForm7: the settings dialog's layout, its reading of the settings file at each show, the preview and the OK order.
#include "app/SettingsDialog.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "app/ColorComboBox.h"
#include "editor/highlight/ValueStrings.h"
#include "platform/CodePage.h"
#include "qt/QtSurface.h"

namespace qm {

namespace {

// The five categories in the dialog's order: preview text, style, the
// highlighter whose first entry gives the default colour (0: black), settings key.
struct TCategoryRow {
  const char* Caption;
  bool Bold;
  bool Underline;
  int Highlighter;
  const char* Key;
};
constexpr TCategoryRow kRows[] = {
    {"Функции", true, false, 4, "Functions"},     {"Типы переменных", true, false, 1, "Variables"},
    {"Команды", true, false, 0, "Commands"},      {"Типы блоков", true, true, 3, "BlockTypes"},
    {"Параметры", false, false, 5, "Parameters"},
};

const char* const kSizes[] = {"6", "8", "10", "12", "14", "16", "18", "20", "22", "24", "26"};

}  // namespace

TForm7::TForm7(const THighlighterChain& chain, const TPlusMemoU& editor, QWidget* parent)
    : TScreenCentredDialog(parent), chain_(chain), editor_(editor) {
  setWindowTitle(QStringLiteral("Настройки..."));
  BuildLayout();
  setFixedSize(376, 247);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  for (int n = 0; n < 5; ++n)
    connect(JvColorComboBox[n], &TColorComboBox::ColourChanged, this, [this, n] { ColourChanged(n); });
  connect(JvColorComboBox6, &TColorComboBox::ColourChanged, this, [this] { JvColorComboBox6Change(); });
  connect(JvFontComboBox1, &QComboBox::currentIndexChanged, this, [this] { JvFontComboBox1Change(); });
}

void TForm7::BuildLayout() {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 8, 8, 8);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(4);
  grid->addWidget(new QLabel(QStringLiteral("Шрифт")), 0, 0);
  JvFontComboBox1 = new QComboBox;
  JvFontComboBox1->addItems(QFontDatabase::families());
  grid->addWidget(JvFontComboBox1, 0, 1);
  ComboBox1 = new QComboBox;
  for (const char* size : kSizes) ComboBox1->addItem(QString::fromLatin1(size));
  ComboBox1->setFixedWidth(56);
  grid->addWidget(ComboBox1, 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("Фон")), 1, 0);
  JvColorComboBox6 = new TColorComboBox;
  grid->addWidget(JvColorComboBox6, 1, 1, 1, 2);

  Panel1 = new QFrame;
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFrameShadow(QFrame::Sunken);
  Panel1->setAutoFillBackground(true);
  auto* preview = new QGridLayout(Panel1);
  preview->setContentsMargins(8, 4, 8, 4);
  for (int n = 0; n < 5; ++n) {
    Label[n] = new QLabel(QString::fromUtf8(kRows[n].Caption));
    QFont font = Label[n]->font();
    font.setBold(kRows[n].Bold);
    font.setUnderline(kRows[n].Underline);
    Label[n]->setFont(font);
    preview->addWidget(Label[n], n, 0);
    JvColorComboBox[n] = new TColorComboBox;
    preview->addWidget(JvColorComboBox[n], n, 1);
  }
  grid->addWidget(Panel1, 2, 0, 1, 3);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Button1 = new QPushButton(QStringLiteral("ОК"));
  Button1->setDefault(true);
  Button2 = new QPushButton(QStringLiteral("Отмена"));
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  grid->addLayout(buttons, 3, 0, 1, 3);
}

void TForm7::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TForm7::FormShow() {
  ini_.emplace(SettingsFilePath());
  for (int n = 0; n < 5; ++n) {
    const int highlighter = kRows[n].Highlighter;
    const TColor deflt = highlighter == 0 ? 0 : chain_.U(highlighter).Keywords.GetKeywordAttributes(0).Foreground;
    JvColorComboBox[n]->SetColour(ini_->ReadInteger("Syntax", kRows[n].Key, deflt));
  }
  SelectFont(QString::fromStdU16String(AnsiToWide(ini_->ReadString("Editor", "Font", "Courier New"))));
  JvFontComboBox1Change();
  JvColorComboBox6->SetColour(ini_->ReadInteger("Editor", "Background", editor_.PaintSettings.Color));
  const QString size = QString::number(ini_->ReadInteger("Editor", "FontSize", 10));
  ComboBox1->setCurrentIndex(ComboBox1->findText(size, Qt::MatchExactly));
}

// A stored name that is not installed joins the list, so OK writes it back unchanged.
void TForm7::SelectFont(const QString& name) {
  int index = JvFontComboBox1->findText(name, Qt::MatchFixedString);
  if (index < 0) {
    JvFontComboBox1->insertItem(0, name);
    index = 0;
  }
  JvFontComboBox1->setCurrentIndex(index);
}

void TForm7::ColourChanged(int n) {
  QPalette palette = Label[n]->palette();
  palette.setColor(QPalette::WindowText, TQtSurface::ToQColor(JvColorComboBox[n]->Colour(), palette));
  Label[n]->setPalette(palette);
}

void TForm7::JvFontComboBox1Change() {
  for (QLabel* label : Label) {
    QFont font = label->font();
    font.setFamily(JvFontComboBox1->currentText());
    label->setFont(font);
  }
}

void TForm7::JvColorComboBox6Change() {
  QPalette palette = Panel1->palette();
  palette.setColor(QPalette::Window, TQtSurface::ToQColor(JvColorComboBox6->Colour(), palette));
  Panel1->setPalette(palette);
}

void TForm7::Button1Click() {
  if (!ini_) ini_.emplace(SettingsFilePath());
  // Parameters, commands, variables, functions, block types: the stored order.
  for (int n : {4, 2, 1, 0, 3}) ini_->WriteInteger("Syntax", kRows[n].Key, JvColorComboBox[n]->Colour());
  ini_->WriteInteger("Editor", "Background", JvColorComboBox6->Colour());
  ini_->WriteString("Editor", "Font", WideToAnsi(JvFontComboBox1->currentText().toStdU16String()));
  ini_->WriteInteger("Editor", "FontSize", StrToInt(ComboBox1->currentText().toStdU16String()));
  accept();
}

void TForm7::Button2Click() { reject(); }

}  // namespace qm
