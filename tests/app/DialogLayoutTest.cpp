// The dialogs of the file and edit commands as a user sees them: every control inside the client area and wide enough for its text; QM_SCREENSHOT_DIALOGS names a folder for their pictures.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstdlib>
#include <optional>

#include "AppFixture.h"
#include "app/FindDialog.h"
#include "app/GoToLineDialog.h"
#include "app/MainWindow.h"
#include "app/NewScriptDialog.h"

namespace qm {
namespace {

class DialogLayout : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    WriteFile("data/scriptitems.xml",
              "<?xml version=\"1.0\"?><items><extension><blocktype>GameMode</blocktype></extension></items>");
    form.emplace();
    form->CreateForms();  // as the start sequence does after the splash
    form->show();
  }
  void TearDown() override {
    form.reset();
    MainWindow::TearDown();
  }

  // Shows the dialog without running it, checks its controls and writes its picture.
  void Look(QDialog& dialog, const char* name, QSize client) {
    dialog.show();
    EXPECT_EQ(dialog.size(), client) << name;
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
      if (!child->isVisible() || child->parentWidget() != &dialog) continue;
      const QString what = QString(name) + " " + child->metaObject()->className() + " " + child->objectName();
      EXPECT_TRUE(dialog.rect().contains(child->geometry())) << what.toStdString();
      // Texts of labels and buttons are not cut off.
      // (A push button's size hint holds the style's minimum width; its text is what must fit.)
      int needed = 0;
      if (const auto* push = qobject_cast<QPushButton*>(child))
        needed = push->fontMetrics().horizontalAdvance(push->text()) + 8;
      else if (qobject_cast<QLabel*>(child) != nullptr || qobject_cast<QAbstractButton*>(child) != nullptr)
        needed = child->sizeHint().width();
      EXPECT_LE(needed, child->width()) << what.toStdString();
    }
    if (const char* folder = std::getenv("QM_SCREENSHOT_DIALOGS"); folder != nullptr && *folder != 0) {
      EXPECT_TRUE(dialog.grab().save(QDir(QString::fromLocal8Bit(folder)).filePath(QString(name) + ".png")));
    }
    dialog.hide();
  }

  std::optional<TForm1> form;
};

TEST_F(DialogLayout, EveryControlFitsItsDialog) {
  form->Form2->ComboBox1->addItem("GameMode");
  Look(*form->Form2, "TForm2", QSize(397, 69));
  form->Form4->Edit1->setText("ScriptName");
  Look(*form->Form4, "TForm4", QSize(352, 113));
  form->Form5->JvValidateEdit1->setText("12");
  Look(*form->Form5, "TForm5", QSize(241, 60));
}

}  // namespace
}  // namespace qm
