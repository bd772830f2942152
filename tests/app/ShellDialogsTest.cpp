// The shell's dialogs on the real windows: settings, exit confirmation, about box, splash; the icons, hints and gutter menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include <algorithm>
#include <string>
#include <vector>

#include "AppFixture.h"
#include "ShownDialogs.h"
#include "app/AboutBox.h"
#include "app/ColorComboBox.h"
#include "app/ExitConfirmation.h"
#include "app/Icons.h"
#include "app/MainWindow.h"
#include "app/NewScriptDialog.h"
#include "app/SettingsDialog.h"
#include "app/Splash.h"
#include "qt/PlusGutterWidget.h"
#include "qt/PlusMemoWidget.h"

namespace qm {
namespace {

// QM_SCREENSHOT_DIALOGS names a folder that gets a PNG of each dialog.
void Shoot(QWidget& dialog, const char* name) {
  const char* folder = std::getenv("QM_SCREENSHOT_DIALOGS");
  if (folder == nullptr || *folder == 0) return;
  EXPECT_TRUE(dialog.grab().save(QString::fromLocal8Bit(folder) + "/" + name + ".png"));
}

// Positions of the keys in the settings file, which must rise.
void ExpectInOrder(const std::string& ini, std::initializer_list<const char*> keys) {
  size_t from = 0;
  for (const char* key : keys) {
    const size_t at = ini.find(key, from);
    ASSERT_NE(at, std::string::npos) << key << "\n" << ini;
    from = at + 1;
  }
}

TEST_F(MainWindow, SettingsDialogWithoutASettingsFileShowsTheStartValues) {
  TForm1 form;
  form.show();
  form.CreateForms();
  TForm7& dialog = *form.Form7;
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Настройки...");
  EXPECT_EQ(dialog.size(), QSize(376, 247));
  EXPECT_EQ(dialog.JvFontComboBox1->currentText(), "Courier New");
  EXPECT_EQ(dialog.ComboBox1->currentText(), "10");
  EXPECT_EQ(dialog.JvColorComboBox6->Colour(), SystemColor(5));
  // Functions, variable types, commands (black in the dialog), block types, parameters.
  const TColor expected[] = {128, 8421440, 0, 0, 33023};
  for (int n = 0; n < 5; ++n) EXPECT_EQ(dialog.JvColorComboBox[n]->Colour(), expected[n]) << n;
  EXPECT_EQ(dialog.Label[0]->palette().color(QPalette::WindowText), QColor(128, 0, 0));
  EXPECT_TRUE(dialog.Label[3]->font().underline());
  EXPECT_FALSE(dialog.Label[4]->font().bold());
  Shoot(dialog, "settings");
  dialog.Button2Click();
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Ini())));
}

TEST_F(MainWindow, SettingsOkWritesTheEightKeysInOrderAndTheEditorKeepsItsFont) {
  {
    TForm1 form;
    form.show();
    form.CreateForms();
    TForm7& dialog = *form.Form7;
    dialog.show();
    dialog.JvFontComboBox1->setCurrentText("Liberation Serif");
    dialog.ComboBox1->setCurrentText("14");
    dialog.Button1Click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(errors.empty());
    // Nothing changes in the running program.
    EXPECT_EQ(form.PlusMemoU1.LayoutSettings.Font, (TFontSpec{u"Courier New", 10, 0}));
    const std::string ini = ReadFile(Ini());
    ExpectInOrder(ini, {"[Syntax]", "Parameters=33023", "Commands=0", "Variables=8421440", "Functions=128",
                        "BlockTypes=0", "[Editor]", "Background=-16777211", "Font=Liberation Serif", "FontSize=14"});
  }
  // The next start uses them.
  TForm1 next;
  next.show();
  EXPECT_EQ(next.PlusMemoU1.LayoutSettings.Font, (TFontSpec{u"Liberation Serif", 14, 0}));
}

TEST_F(MainWindow, ASizeOutsideTheListFailsAtOkAfterSevenKeys) {
  WriteFile(Ini(), "[Editor]\nFontSize=9\nFont=No Such Font\n");
  TForm1 form;
  form.show();
  form.CreateForms();
  TForm7& dialog = *form.Form7;
  dialog.show();
  EXPECT_EQ(dialog.ComboBox1->currentIndex(), -1);
  // A stored font that is not installed is kept as it is.
  EXPECT_EQ(dialog.JvFontComboBox1->currentText(), "No Such Font");
  EXPECT_THROW(
      {
        try {
          dialog.Button1Click();
        } catch (const std::exception& e) {
          EXPECT_STREQ(e.what(), "'' is not a valid integer value");
          throw;
        }
      },
      std::exception);
  EXPECT_TRUE(dialog.isVisible());
  const std::string ini = ReadFile(Ini());
  EXPECT_NE(ini.find("Font=No Such Font"), std::string::npos);
  EXPECT_NE(ini.find("FontSize=9"), std::string::npos) << "the old size stays";
  EXPECT_NE(ini.find("BlockTypes="), std::string::npos);
}

TEST_F(MainWindow, CancelAfterAColourChoiceWritesNothing) {
  TForm1 form;
  form.show();
  form.CreateForms();
  TForm7& dialog = *form.Form7;
  dialog.show();
  TColorComboBox& functions = *dialog.JvColorComboBox[0];
  functions.AskColour = [](TColor& colour) {
    colour = 0x123456;
    return true;
  };
  // "Другой..." is the last entry: the chosen colour joins the list and the preview.
  const int before = functions.count();
  functions.setCurrentIndex(functions.count() - 1);
  emit functions.activated(functions.count() - 1);
  EXPECT_EQ(functions.Colour(), 0x123456);
  EXPECT_EQ(functions.count(), before + 1);
  EXPECT_EQ(dialog.Label[0]->palette().color(QPalette::WindowText), QColor(0x56, 0x34, 0x12));
  // Cancelling the colour dialog keeps the previous colour.
  functions.AskColour = [](TColor&) { return false; };
  emit functions.activated(functions.count() - 1);
  EXPECT_EQ(functions.Colour(), 0x123456);
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Ini())));
}

TEST_F(MainWindow, ExitConfirmationButtons) {
  TForm1 form;
  form.show();
  form.CreateForms();
  TForm3& exit = *form.Form3;
  EXPECT_EQ(exit.windowTitle(), "Выход...");
  EXPECT_EQ(exit.size(), QSize(392, 72));
  Shoot(exit, "exit");
  int ended = 0;
  exit.EndProgram = [&] { ++ended; };
  bool saveSucceeds = false;
  int saves = 0;
  exit.SaveScript = [&] {
    ++saves;
    return saveSucceeds;
  };

  // Esc returns to the editor.
  QTimer::singleShot(0, &exit, [&] { QTest::keyClick(&exit, Qt::Key_Escape); });
  form.ExitExecute();
  EXPECT_EQ(ended, 0);
  // "Сохранить" with the file dialog cancelled keeps the confirmation open.
  exit.show();
  exit.Button2Click();
  EXPECT_EQ(saves, 1);
  EXPECT_TRUE(exit.isVisible());
  EXPECT_EQ(ended, 0);
  saveSucceeds = true;
  exit.Button2Click();
  EXPECT_EQ(ended, 1);
  EXPECT_FALSE(exit.isVisible());
  // Enter is "Выход": the end, without the window's close writing settings.
  QTimer::singleShot(0, &exit, [&] { QTest::keyClick(&exit, Qt::Key_Return); });
  form.ExitExecute();
  EXPECT_EQ(ended, 2);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Ini())));
}

TEST_F(MainWindow, AboutBoxShowsNameVersionAndPicture) {
  TForm1 form;
  form.CreateForms();
  TForm6& about = *form.Form6;
  EXPECT_EQ(about.windowTitle(), "О программе...");
  EXPECT_EQ(about.size(), QSize(321, 133));
  EXPECT_EQ(about.Label1->text(), "Quillmark");
  EXPECT_EQ(about.Label2->text(), "Версия: 1.2");
  EXPECT_EQ(about.Image1->pixmap().size(), QSize(55, 55));
  Shoot(about, "about");
  QTimer::singleShot(0, &about, [&] { QTest::keyClick(&about, Qt::Key_Return); });
  form.AboutExecute();
  EXPECT_FALSE(about.isVisible());
}

TEST_F(MainWindow, TheShellDialogsOpenCentredOnTheScreenEveryTime) {
  TForm1 form;
  form.CreateForms();
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  const QPoint centre = form.screen()->availableGeometry().center();
  const struct {
    const char* Name;
    void (TForm1::*Command)();
    QDialog* Dialog;
  } dialogs[] = {{"about", &TForm1::AboutExecute, form.Form6},
                 {"exit", &TForm1::ExitExecute, form.Form3},
                 {"settings", &TForm1::Wiev1Execute, form.Form7},
                 {"new script", &TForm1::NewScriptExecute, form.Form2}};
  for (const auto& d : dialogs) {
    const std::vector<QRect> frames =
        FramesAtEachShow(form, d.Command, *d.Dialog, 3, [](const QWidget& w) { return w.frameGeometry(); });
    ASSERT_EQ(frames.size(), 3u) << d.Name;
    // The main window is not centred: a dialog centred on it would not be.
    EXPECT_LE((frames[0].center() - centre).manhattanLength(), 1)
        << d.Name << ": " << testing::PrintToString(frames[0]);
    EXPECT_EQ(frames[1], frames[0]) << d.Name;
    EXPECT_EQ(frames[2], frames[0]) << d.Name;
  }
}

TEST(Splash, ClosesAtOnceOnAClickOnThePicture) {
  TForm9 splash;
  EXPECT_EQ(splash.Image1->pixmap().size(), QSize(400, 300));
  EXPECT_TRUE(splash.Timer1->isActive());
  EXPECT_EQ(splash.Timer1->interval(), 3500);
  QElapsedTimer clock;
  clock.start();
  QTimer::singleShot(50, &splash, [&] {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(200, 150), splash.Image1->mapToGlobal(QPointF(200, 150)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(splash.Image1, &press);
  });
  splash.exec();
  EXPECT_LT(clock.elapsed(), 3000);
  EXPECT_FALSE(splash.Timer1->isActive());
}

TEST(Splash, ClosesByItselfAfterItsInterval) {
  TForm9 splash;
  QElapsedTimer clock;
  clock.start();
  splash.exec();
  EXPECT_GE(clock.elapsed(), 3400);
}

TEST(Icons, TwentyDistinctIconsOfOneSize) {
  ASSERT_EQ(IconNames().size(), 20u);
  std::vector<QImage> images;
  for (const std::string& name : IconNames()) {
    const QIcon icon = ActionIcon(name);
    ASSERT_FALSE(icon.isNull()) << name;
    images.push_back(icon.pixmap(16, 16).toImage());
  }
  for (size_t i = 0; i < images.size(); ++i)
    for (size_t j = i + 1; j < images.size(); ++j)
      EXPECT_NE(images[i], images[j]) << IconNames()[i] << " looks like " << IconNames()[j];
  EXPECT_TRUE(ActionIcon("NoSuchAction").isNull());
}

TEST_F(MainWindow, ActionsCarryTheirIconsAndTheEditorsShowNoHints) {
  TForm1 form;
  form.show();
  for (const char* name : {"NewScript", "Find", "About", "Wiev1"})
    EXPECT_FALSE(form.Action(name)->icon().isNull()) << name;
  EXPECT_FALSE(form.ToolButton16->icon().isNull());
  EXPECT_TRUE(qApp->styleSheet().contains("QToolTip"));

  QWidget* editor = form.PlusMemoU1Widget->viewport();
  EXPECT_EQ(editor->toolTip(), "Quillmark");
  QHelpEvent onEditor(QEvent::ToolTip, QPoint(5, 5), editor->mapToGlobal(QPoint(5, 5)));
  QCoreApplication::sendEvent(editor, &onEditor);
  EXPECT_FALSE(QToolTip::isVisible());
  form.ListBox1->setToolTip("GetPos <ось>");
  QHelpEvent onList(QEvent::ToolTip, QPoint(5, 5), form.ListBox1->mapToGlobal(QPoint(5, 5)));
  QCoreApplication::sendEvent(form.ListBox1->viewport(), &onList);
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), "GetPos <ось>");
  QToolTip::hideText();
}

TEST_F(MainWindow, TheGutterOpensItsMenu) {
  TForm1 form;
  form.show();
  emit form.PlusGutterU1Widget->customContextMenuRequested(QPoint(5, 5));
  EXPECT_TRUE(form.PopupMenu1->isVisible());
  const QList<QAction*> expected{form.Action("Find"), form.Action("Goto1")};
  EXPECT_EQ(form.PopupMenu1->actions(), expected);
  form.PopupMenu1->close();
}

}  // namespace
}  // namespace qm

namespace qm {
namespace {

void CopyShippedData() {
  for (const char* name : {"scriptitems.xml", "help.xml", "user.txt"})
    WriteFile(std::string("data/") + name, ReadFile(std::string(QM_SOURCE_DIR) + "/data/" + name));
}

// The shipped vocabulary and help working together in the window: a coloured
// script, the item at the caret selected, its help in the pane and in the
// list's balloon. QM_SCREENSHOT_MAIN names a PNG file that gets the screen.
TEST_F(MainWindow, ShippedDataColoursTheScriptAndGivesHelpAtTheCaret) {
  CopyShippedData();
  WriteFile(Ini(), "[Inspector]\nValue=0\n");
  TForm1 form;
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  const std::u16string script =
      u"scn QuillDemoScript\r\n\r\nshort doOnce\r\nfloat posX\r\n\r\nbegin GameMode\r\n"
      u"  ; remember where the player stands\r\n  if doOnce == 0\r\n    set posX to player.GetPos x\r\n"
      u"    Message \"Позиция: %.0f\" posX\r\n    set doOnce to 1\r\n  endif\r\nend\r\n";
  form.PlusMemoU1.SetText(script);
  // The caret right after the function's name.
  form.PlusMemoU1.SetSelStart(static_cast<int>(script.find(u"GetPos") + 6));
  form.PlusMemoU1Change();
  ASSERT_NE(form.ListBox1->currentItem(), nullptr);
  EXPECT_EQ(form.ListBox1->currentItem()->text(), "GetPos");
  EXPECT_EQ(form.ListBox1->toolTip(), "[ref.]GetPos axis");
  EXPECT_NE(form.PlusMemoU2.Text().find(u"координату объекта"), std::u16string::npos);

  if (const char* path = std::getenv("QM_SCREENSHOT_MAIN"); path != nullptr && *path != 0) {
    form.ListBox1->scrollToItem(form.ListBox1->currentItem());
    const QRect item = form.ListBox1->visualItemRect(form.ListBox1->currentItem());
    QToolTip::showText(form.ListBox1->viewport()->mapToGlobal(item.bottomLeft() + QPoint(20, 4)),
                       form.ListBox1->toolTip(), form.ListBox1);
    QTest::qWait(300);
    EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(path)));
  }
}

}  // namespace
}  // namespace qm
