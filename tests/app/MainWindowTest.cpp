// Tests of the real main window offscreen: first show from the settings file, close writing it, vocabulary load, actions and menus.
#include "app/MainWindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QMenuBar>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "AppFixture.h"
#include "app/ActionTable.h"
#include "app/ErrorBox.h"
#include "editor/control/PlusMemoU.h"
#include "qt/PlusMemoWidget.h"

namespace qm {
namespace {

TEST_F(MainWindow, FirstStartWithoutASettingsFileUsesTheDefaults) {
  TForm1 form;
  form.show();
  EXPECT_EQ(form.windowTitle(), "Quillmark 1.2");
  EXPECT_EQ(form.pos(), QPoint(150, 100));
  EXPECT_EQ(form.size(), QSize(800, 600));
  EXPECT_EQ(form.Panel1->width(), 150);
  EXPECT_EQ(form.PlusMemoU2Widget->height(), 70);
  EXPECT_EQ(form.ComboBox1->currentText(), "Типы блоков");
  EXPECT_EQ(form.PlusMemoU1.LayoutSettings.Font, (TFontSpec{u"Courier New", 10, 0}));
  EXPECT_EQ(form.PlusMemoU1.PaintSettings.Color, SystemColor(5));
  // Reading wrote nothing.
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Ini())));
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindow, StoredValuesApplyAndUnreadableOnesGiveTheDefaults) {
  WriteFile(Ini(),
            "[MainWindow]\nMaximised=0\nX=0x1F\nY=letters\nHeight=500\nWidth=700\n"
            "[Inspector]\nWidth=180\nValue=0\n[Message]\nHeight=90\n"
            "[Editor]\nFont=Liberation Mono\nFontSize=12\nBackground=15790320\n");
  TForm1 form;
  form.show();
  EXPECT_EQ(form.pos(), QPoint(31, 100));
  EXPECT_EQ(form.size(), QSize(700, 500));
  EXPECT_EQ(form.Panel1->width(), 180);
  EXPECT_EQ(form.PlusMemoU2Widget->height(), 90);
  EXPECT_EQ(form.ComboBox1->currentText(), "Функции");
  EXPECT_EQ(form.PlusMemoU1.LayoutSettings.Font, (TFontSpec{u"Liberation Mono", 12, 0}));
  EXPECT_EQ(form.PlusMemoU1.PaintSettings.Color, 15790320);
}

TEST_F(MainWindow, MaximisedIgnoresTheGeometryButNotTheEditorKeys) {
  WriteFile(Ini(), "[MainWindow]\nMaximised=1\nX=5\nY=5\nWidth=300\nHeight=200\n[Editor]\nFontSize=14\n");
  TForm1 form;
  form.show();
  EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
  EXPECT_EQ(form.PlusMemoU1.LayoutSettings.Font.Size, 14);
}

TEST_F(MainWindow, ClosingWritesTheWindowKeysInTheirOrder) {
  {
    TForm1 form;
    form.show();
    form.ComboBox1->setCurrentIndex(2);
    EXPECT_TRUE(form.close());
  }
  const std::string ini = ReadFile(Ini());
  std::vector<size_t> at;
  for (const char* key : {"[MainWindow]", "X=150", "Y=100", "Height=600", "Width=800", "Maximised=0", "[Inspector]",
                          "Value=2", "Height=", "Width=150", "[Message]", "Height=70"})
    at.push_back(ini.find(key, at.empty() ? 0 : at.back()));
  for (size_t i = 0; i < at.size(); ++i) EXPECT_NE(at[i], std::string::npos) << i << "\n" << ini;
  EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << ini;
  EXPECT_EQ(ini.find("[Editor]"), std::string::npos);
}

TEST_F(MainWindow, StartCloseStartKeepsTheWindowExactlyWhereItWas) {
  // The defaults, then what each close wrote: the frame's place, as users see it.
  for (int start = 0; start < 3; ++start) {
    TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(150, 100)) << "start " << start;
    EXPECT_EQ(form.size(), QSize(800, 600)) << "start " << start;
    ASSERT_TRUE(form.close());
  }
}

TEST_F(MainWindow, AnUnwritableSettingsFileKeepsTheWindowOpen) {
  // A folder where the file should be: no write can succeed.
  QDir().mkpath(QString::fromStdString(Ini()));
  TForm1 form;
  form.show();
  EXPECT_FALSE(form.close());
  EXPECT_TRUE(form.isVisible());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Unable to write to " + Ini());
}

TEST_F(MainWindow, TheVocabularyIsLoadedWithTheStoredColours) {
  WriteFile("data/scriptitems.xml",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r><extension><function>GetPos</function>"
            "<blocktype>MenuMode</blocktype></extension></r>");
  WriteFile(Ini(), "[Syntax]\nFunctions=255\n");
  TForm1 form;
  form.show();
  TExtHighlighterU& functions = form.Chain().U(4);
  ASSERT_EQ(functions.Keywords.Count(), 1);
  EXPECT_EQ(functions.Keywords.Entry(0).Keyword, u"GetPos");
  EXPECT_EQ(functions.Keywords.Entry(0).Foreground, 255);
  // MenuMode is a block type of context 11.
  ASSERT_EQ(form.Chain().U(3).Keywords.Count(), 1);
  EXPECT_EQ(form.Chain().U(3).Keywords.Entry(0).ContextNum, 11);
  // Categories without items keep their templates.
  EXPECT_EQ(form.Chain().U(1).Keywords.Entry(0).Keyword, u"short");
}

TEST_F(MainWindow, ActionsCarryTheirCaptionsHintsAndShortcutsAndFillTheMenus) {
  TForm1 form;
  for (const TActionSpec& entry : MainActions()) {
    QAction* action = form.Action(entry.Name);
    ASSERT_NE(action, nullptr) << entry.Name;
    EXPECT_EQ(action->text(), QString::fromUtf8(entry.Caption));
    EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromUtf8(entry.Shortcut)));
  }
  EXPECT_EQ(form.Action("redo1")->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
  EXPECT_EQ(form.Action("Find")->toolTip(), "Найти текст");
  std::vector<QString> edit;
  for (QAction* a : form.menuBar()->actions()[1]->menu()->actions()) edit.push_back(a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(edit, (std::vector<QString>{"Отменить", "Вернуть", "-", "Выбрать всё", "-", "Копировать", "Вырезать",
                                        "Вставить", "-", "Перейти к...", "Найти...", "Заменить...", "-", "Вид..."}));
}

}  // namespace
}  // namespace qm
