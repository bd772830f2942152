// The script check in the real main window offscreen: marks after open and after a pause in typing, the status bar, F8, the check command, hints and RTF.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QTest>
#include <QToolTip>

#include <optional>
#include <string>
#include <vector>

#include "AppFixture.h"
#include "TestUtil.h"
#include "app/MainWindow.h"
#include "app/ScriptCheck.h"
#include "editor/control/Layout.h"
#include "editor/control/PlusMemoU.h"
#include "platform/CodePage.h"
#include "qt/PlusMemoWidget.h"

namespace qm {
namespace {

const char* const kVocabulary =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><items><extension>"
    "<function>GetPos</function><var>short</var><command>set</command>"
    "<blocktype>GameMode</blocktype></extension></items>";

// Line 4 calls a function the vocabulary does not hold (a warning); the if
// of line 5 is still open at "end" (an error).
const char* const kScript =
    "scn Test\r\n"
    "short x\r\n"
    "begin GameMode\r\n"
    "  Frobnicate\r\n"
    "  if x == 1\r\n"
    "end\r\n";

class ScriptCheck : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    WriteFile("data/scriptitems.xml", kVocabulary);
    WriteFile("script.txt", kScript);
    form.emplace();
    form->CreateForms();
    form->show();
    form->ExecFileDialog = [this](QFileDialog&, TForm1::TFileChoice& choice) {
      choice = TForm1::TFileChoice{work.path() + "/" + answer, filterIndex};
      return true;
    };
  }
  void TearDown() override {
    form.reset();
    MainWindow::TearDown();
  }

  TPlusMemoU& Memo() { return form->PlusMemoU1; }
  // Opens a file of the work folder and waits for its check.
  void Open(const QString& name) {
    answer = name;
    filterIndex = 1;
    form->Action("OpenScript")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->ScriptCheck->Pending(); }));
  }
  // Each mark as "start+length colour".
  std::vector<std::string> Marks() {
    std::vector<std::string> out;
    for (const TTextMark& m : Memo().Marks().All())
      out.push_back(std::to_string(m.Start) + "+" + std::to_string(m.Length) + " " +
                    (m.Colour == TScriptCheck::kErrorColour ? "error" : "warning"));
    return out;
  }
  std::string Status() { return form->StatusPanel2->text().toStdString(); }
  std::u16string Message() { return form->PlusMemoU2.Text(); }
  // Offsets in kScript.
  static constexpr int32_t kFrobnicate = 10 + 9 + 16 + 2;
  static constexpr int32_t kIf = kFrobnicate + 12 + 2;

  std::optional<TForm1> form;
  QString answer;
  int filterIndex = 1;
};

TEST_F(ScriptCheck, AnOpenedScriptIsMarkedAndCountedWithoutTyping) {
  Open("script.txt");
  EXPECT_EQ(Marks(),
            (std::vector<std::string>{std::to_string(kFrobnicate) + "+10 warning", std::to_string(kIf) + "+2 error"}));
  EXPECT_EQ(Status(), "Ошибок: 1, предупреждений: 1");
  EXPECT_TRUE(errors.empty());
}

TEST_F(ScriptCheck, TypingChecksAgainOnlyAfterThePause) {
  Open("script.txt");
  // "endif" before "end" closes the if.
  Memo().SetSelStart(kIf + 9 + 2);
  Memo().SetSelText(u"  endif\r\n");
  EXPECT_TRUE(form->ScriptCheck->Pending()) << "a check waits for the pause";
  EXPECT_EQ(Status(), "Ошибок: 1, предупреждений: 1") << "nothing checked while typing";
  EXPECT_EQ(Marks().size(), 2u) << "the marks before the edit stay, shifted as the text moves";
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form->ScriptCheck->Pending(); }, 3000));
  EXPECT_EQ(Status(), "Ошибок: 0, предупреждений: 1");
  EXPECT_EQ(Marks(), (std::vector<std::string>{std::to_string(kFrobnicate) + "+10 warning"}));
  // An edit that cuts into a mark drops it at once; the check marks the word again.
  Memo().SetSelStart(kFrobnicate + 2);
  Memo().SetSelText(u"x");
  EXPECT_TRUE(Marks().empty());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form->ScriptCheck->Pending(); }, 3000));
  EXPECT_EQ(Marks(), (std::vector<std::string>{std::to_string(kFrobnicate) + "+11 warning"}));
}

TEST_F(ScriptCheck, F8AndShiftF8MoveToTheProblemsInTurnAndSayWhatEachIs) {
  Open("script.txt");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&*form));
  Memo().SetSelStart(0);
  form->PlusMemoU1Widget->setFocus();
  QTest::keyClick(form->PlusMemoU1Widget, Qt::Key_F8);
  EXPECT_EQ(Memo().SelStart(), kFrobnicate);
  EXPECT_EQ(Message(), u"Строка 4, столбец 3. Предупреждение: Неизвестная функция или команда «Frobnicate»");
  QTest::keyClick(form->PlusMemoU1Widget, Qt::Key_F8);
  EXPECT_EQ(Memo().SelStart(), kIf);
  EXPECT_TRUE(Message().starts_with(u"Строка 5, столбец 3. Ошибка: ")) << test::S(Message());
  QTest::keyClick(form->PlusMemoU1Widget, Qt::Key_F8);
  EXPECT_EQ(Memo().SelStart(), kFrobnicate) << "past the last problem F8 starts again at the first";
  QTest::keyClick(form->PlusMemoU1Widget, Qt::Key_F8, Qt::ShiftModifier);
  EXPECT_EQ(Memo().SelStart(), kIf) << "Shift+F8 before the first goes round to the last";
  QTest::keyClick(form->PlusMemoU1Widget, Qt::Key_F8, Qt::ShiftModifier);
  EXPECT_EQ(Memo().SelStart(), kFrobnicate);
}

TEST_F(ScriptCheck, TheCheckCommandListsEveryProblemAtOnce) {
  Memo().SetText(u"begin GameMode\r\nend\r\nend");
  ASSERT_TRUE(form->ScriptCheck->Pending());
  form->Action("CheckScript")->trigger();
  EXPECT_EQ(Status(), "Ошибок: 2, предупреждений: 0") << "the command does not wait for the pause";
  const std::u16string message = Message();
  EXPECT_TRUE(message.starts_with(u"Ошибок: 2, предупреждений: 0.\r\nСтрока 1, столбец 1. Ошибка: "))
      << test::S(message);
  EXPECT_NE(message.find(u"\r\nСтрока 3, столбец 1. Ошибка: «end» без «begin»"), std::u16string::npos)
      << test::S(message);
  // A clean script says so.
  Memo().SetText(u"scn T\r\nbegin GameMode\r\nend");
  form->Action("CheckScript")->trigger();
  EXPECT_EQ(Message(), u"Ошибок и предупреждений нет.");
  EXPECT_TRUE(Memo().Marks().All().empty());
}

TEST_F(ScriptCheck, ThePointerOverAMarkShowsItsMessageAndNowhereElse) {
  Open("script.txt");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&*form));
  TLayoutEngine& layout = *Memo().Layout();
  const int height = layout.LineHeight();
  const int width = layout.AverageCharWidth();
  const int left = Memo().LayoutSettings.LeftMargin;
  // Over the "o" of Frobnicate on line 4, then over "short" on line 2.
  const QPoint onMark(left + 4 * width + width / 2, 3 * height + height / 2);
  const QPoint offMark(left + 2 * width + width / 2, 1 * height + height / 2);
  EXPECT_EQ(form->MarkHintAt(onMark), u"Предупреждение: Неизвестная функция или команда «Frobnicate»");
  EXPECT_EQ(form->MarkHintAt(offMark), u"");
  EXPECT_EQ(form->MarkHintAt(QPoint(left + width, 20 * height)), u"") << "below the text";
  QWidget* viewport = form->PlusMemoU1Widget->viewport();
  QHelpEvent help(QEvent::ToolTip, onMark, viewport->mapToGlobal(onMark));
  QApplication::sendEvent(viewport, &help);
  EXPECT_EQ(QToolTip::text().toStdU16String(), u"Предупреждение: Неизвестная функция или команда «Frobnicate»");
  QHelpEvent away(QEvent::ToolTip, offMark, viewport->mapToGlobal(offMark));
  QApplication::sendEvent(viewport, &away);
  EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::text().isEmpty(); }, 2000)) << "not the editor's own hint either";
}

TEST_F(ScriptCheck, ExportedRtfIsTheSameWithOrWithoutMarks) {
  Open("script.txt");
  ASSERT_FALSE(Memo().Marks().All().empty());
  answer = "marked.rtf";
  filterIndex = 2;
  form->Action("SaveScript")->trigger();
  Memo().SetMarks({});
  answer = "plain.rtf";
  form->Action("SaveScript")->trigger();
  const std::string marked = ReadFile(work.path().toStdString() + "/marked.rtf");
  EXPECT_FALSE(marked.empty());
  EXPECT_EQ(marked, ReadFile(work.path().toStdString() + "/plain.rtf"));
}

}  // namespace
}  // namespace qm
