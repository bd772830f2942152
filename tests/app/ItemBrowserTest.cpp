// Tests of the item browser and the context help on the real main window: lists, insertion, caret update, Ctrl+Q, help.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QToolButton>

#include <string>
#include <vector>

#include "AppFixture.h"
#include "app/MainWindow.h"
#include "editor/control/PlusMemoU.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "qt/PlusGutterWidget.h"
#include "qt/PlusMemoWidget.h"

namespace qm {
namespace {

const char* const kVocabulary =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><items><extension>"
    "<function>GetPosition</function><function>GetPos</function><function>Activate</function>"
    "<var>short</var><var>float</var><command>set</command><command>if</command><command>endif</command>"
    "<blocktype>GameMode</blocktype><blocktype>MenuMode</blocktype></extension></items>";

const char* const kHelp =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><help>"
    "<GetPos syntax=\"GetPos axis\">Координата объекта.</GetPos>"
    "<Activate syntax=\"Activate\"/><short>Целая переменная.</short></help>";

class ItemBrowser : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    WriteFile("data/scriptitems.xml", kVocabulary);
    WriteFile("data/help.xml", kHelp);
    // Windows-1251: "ёлка" and "Пункт один", LF only, and a final break.
    WriteFile("data/user.txt", "\xB8\xEB\xEA\xE0\nset\n\xCF\xF3\xED\xEA\xF2 one\n");
  }

  // The form shown, with the category picked as the user would.
  void Show(int category) {
    form.show();
    form.ComboBox1->setCurrentIndex(category);
    form.ComboBox1Change();
  }

  std::vector<std::u16string> ListTexts() {
    std::vector<std::u16string> texts;
    for (int i = 0; i < form.ListBox1->count(); ++i) texts.push_back(form.ListBox1->item(i)->text().toStdU16String());
    return texts;
  }

  void Type(const std::u16string& text) {
    for (const char16_t c : text) form.PlusMemoU1.KeyPress(c);
  }

  void DoubleClick(const std::u16string& item) {
    for (int i = 0; i < form.ListBox1->count(); ++i)
      if (form.ListBox1->item(i)->text().toStdU16String() == item) form.ListBox1->setCurrentRow(i);
    form.ListBox1DblClick();
  }

  TForm1 form;
};

TEST_F(ItemBrowser, CategoriesListTheirItemsSortedWithCounts) {
  Show(3);
  EXPECT_EQ(ListTexts(), (std::vector<std::u16string>{u"GameMode", u"MenuMode"}));
  EXPECT_EQ(form.Label1->text(), "Всего: 2");
  Show(0);
  EXPECT_EQ(ListTexts(), (std::vector<std::u16string>{u"Activate", u"GetPos", u"GetPosition"}));
  // The user items, one per line whatever the line end, and a final break adds nothing.
  Show(5);
  EXPECT_EQ(ListTexts(), (std::vector<std::u16string>{u"set", u"ёлка", u"Пункт one"}));
  // All: the user items and four keyword lists, duplicates kept ("set" twice).
  Show(4);
  EXPECT_EQ(form.ListBox1->count(), 3 + 3 + 2 + 3 + 2);
  EXPECT_EQ(ListTexts()[8], u"set");
  EXPECT_EQ(ListTexts()[9], u"set");
  EXPECT_EQ(form.Label1->text(), "Всего: 13");
  EXPECT_TRUE(errors.empty());
}

TEST_F(ItemBrowser, AMissingUserFileIsReportedAndTheListStaysEmpty) {
  QFile::remove("data/user.txt");
  Show(3);
  Show(5);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Cannot open file \"" + QDir::currentPath().toStdString() + "/data/user.txt\". ", 0), 0u)
      << errors[0];
  EXPECT_EQ(form.ListBox1->count(), 0);
  // The count label keeps the text of the last fill.
  EXPECT_EQ(form.Label1->text(), "Всего: 2");
}

TEST_F(ItemBrowser, InsertionFollowsTheCategoryAndTheWordAtTheCaret) {
  const struct {
    int Category;
    std::u16string Before;  // the caret at its end
    std::u16string Item;
    std::u16string After;
  } cases[] = {
      {0, u"if", u"GetPos", u"if GetPos"},   // a word at the caret: a space first
      {0, u"if ", u"GetPos", u"if GetPos"},  // after a space: the item alone
      {2, u"x ", u"set", u"x set "},         // commands take a space after
      {2, u"x", u"set", u"x set "},          // and before, after a word
      {3, u"begin ", u"GameMode", u"begin GameMode"},
  };
  for (const auto& c : cases) {
    Show(c.Category);
    form.PlusMemoU1.SetText(c.Before);
    form.PlusMemoU1.SetSelStart(form.PlusMemoU1.TextLength());
    DoubleClick(c.Item);
    EXPECT_EQ(form.PlusMemoU1.Text(), c.After) << WideToUtf8(c.Before);
    EXPECT_EQ(form.ListBox1->currentRow(), -1);
    EXPECT_TRUE(form.StatusPanel1->text().isEmpty());
  }
}

TEST_F(ItemBrowser, ABlockTypeOnABlankLineAddsABlockAtTheEnd) {
  Show(3);
  DoubleClick(u"GameMode");
  EXPECT_EQ(form.PlusMemoU1.Text(), u"begin GameMode\r\n\r\nend\r\n");
  EXPECT_EQ(form.PlusMemoU1.CaretLine(), 1);

  // A blank line in the middle of a script whose last line is not empty.
  form.PlusMemoU1.SetText(u"scn a\r\n\r\nshort x");
  form.PlusMemoU1.GoToParagraph(1);
  DoubleClick(u"MenuMode");
  EXPECT_EQ(form.PlusMemoU1.Text(), u"scn a\r\n\r\nshort x\r\nbegin MenuMode\r\n\r\nend");
  EXPECT_EQ(form.PlusMemoU1.SelStart(), form.PlusMemoU1.ParagraphStart(3));

  // With nothing selected in an empty list.
  Show(-1);
  EXPECT_THROW(form.ListBox1DblClick(), EListError);
}

TEST_F(ItemBrowser, ADoubleClickAnywhereOnTheListRunsTheInsertion) {
  Show(2);  // endif, if, set
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  const QRect set = form.ListBox1->visualItemRect(form.ListBox1->item(2));
  const QPoint belowTheItems(set.center().x(), set.bottom() + 20);
  ASSERT_EQ(form.ListBox1->itemAt(belowTheItems), nullptr);
  const struct {
    const char* Name;
    int Selected;  // the list's selection before the double-click
    QPoint At;
    std::u16string After;
    bool Error;
  } cases[] = {
      {"on an item", -1, set.center(), u"x set ", false},
      {"below the items, one selected", 2, belowTheItems, u"x set ", false},
      // The editor's selection is deleted before the list finds none of its own.
      {"below the items, none selected", -1, belowTheItems, u"x ", true},
  };
  for (const auto& c : cases) {
    errors.clear();
    form.PlusMemoU1.SetText(u"x y");
    form.PlusMemoU1.SetSelStart(2);
    form.PlusMemoU1.SetSelLength(1);
    form.ListBox1->setCurrentRow(c.Selected);
    // A click, then the second press that the window system reports as a double-click.
    QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {}, c.At);
    QTest::mouseDClick(form.ListBox1->viewport(), Qt::LeftButton, {}, c.At);
    EXPECT_EQ(form.PlusMemoU1.Text(), c.After) << c.Name;
    EXPECT_EQ(errors, c.Error ? std::vector<std::string>{"List index out of bounds (-1)"} : std::vector<std::string>{})
        << c.Name;
    EXPECT_EQ(form.ListBox1->currentRow(), -1) << c.Name;
  }
}

TEST_F(ItemBrowser, TheCaretUpdateFillsTheStatusBarAndSelectsTheFirstMatch) {
  Show(0);
  form.PlusMemoU1Change();
  EXPECT_EQ(form.StatusPanel0->text(), "Символ: 0 (0) Строка: 1");
  Type(u"getp");
  ASSERT_NE(form.ListBox1->currentItem(), nullptr);
  EXPECT_EQ(form.ListBox1->currentItem()->text(), "GetPos");
  // The help of the selected item is in the message pane.
  EXPECT_EQ(form.PlusMemoU2.Text(), u"GetPos axis\r\nКоордината объекта.");
  EXPECT_EQ(form.ListBox1->toolTip(), "GetPos axis");
  form.PlusMemoU1Change();
  EXPECT_EQ(form.StatusPanel1->text(), "GetPos (Ctrl+Q)");
  EXPECT_EQ(form.StatusPanel0->text(), "Символ: 4 (4) Строка: 1");

  // Ctrl+Q completes the word in the item's own case and clears the selection.
  QTest::keyClick(form.PlusMemoU1Widget, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(form.PlusMemoU1.Text(), u"getpos");
  // A space clears the selection; the next update empties the message pane.
  Type(u" activ");
  ASSERT_NE(form.ListBox1->currentItem(), nullptr);
  EXPECT_EQ(form.ListBox1->currentItem()->text(), "Activate");
  EXPECT_EQ(form.PlusMemoU2.Text(), u"Activate\r\n");
  QTest::keyClick(form.PlusMemoU1Widget, Qt::Key_Space);
  EXPECT_EQ(form.ListBox1->currentRow(), -1);
  EXPECT_EQ(form.PlusMemoU2.Text(), u"");
}

TEST_F(ItemBrowser, CyrillicWordsMatchInEitherCaseAndYoMatchesYo) {
  Show(5);
  Type(u"ЁЛ");
  ASSERT_NE(form.ListBox1->currentItem(), nullptr);
  EXPECT_EQ(form.ListBox1->currentItem()->text(), "ёлка");
  Type(u" пун");
  EXPECT_EQ(form.ListBox1->currentItem()->text(), "Пункт one");
  // An item that is no element name has no help: the pane is left alone.
  EXPECT_EQ(form.PlusMemoU2.Text(), u"");
}

TEST_F(ItemBrowser, ContextButtonsFollowTheCaretsContext) {
  Show(3);
  form.PlusMemoU1.SetText(u"scn Test\r\nbegin MenuMode\r\nset x to 1\r\nend");
  const struct {
    int32_t Pos;
    bool Menu;
    bool Variables;
  } cases[] = {{form.PlusMemoU1.ParagraphStart(0) + 6, false, true},
               {form.PlusMemoU1.ParagraphStart(1) + 9, true, false},
               {form.PlusMemoU1.ParagraphStart(2) + 1, false, false}};
  for (const auto& c : cases) {
    form.PlusMemoU1.SetSelStart(c.Pos);
    form.PlusMemoU1Change();
    EXPECT_EQ(form.ToolButton16->isEnabled(), c.Menu) << c.Pos;
    EXPECT_EQ(form.ToolButton19->isEnabled(), c.Variables) << c.Pos;
  }
}

TEST_F(ItemBrowser, AMissingOrBrokenHelpFileLeavesThePaneAsItWas) {
  Show(0);
  Type(u"GetPos");
  EXPECT_EQ(form.PlusMemoU2.Text(), u"GetPos axis\r\nКоордината объекта.");
  WriteFile("data/help.xml", "<help><GetPos>");
  form.PlusMemoU1.SetSelStart(0);
  Type(u"act ");
  EXPECT_EQ(form.PlusMemoU2.Text(), u"GetPos axis\r\nКоордината объекта.");
  // Mouse over the other panels empties it.
  form.Panel1MouseMove();
  EXPECT_EQ(form.PlusMemoU2.Text(), u"");
}

TEST_F(ItemBrowser, ThePointerOverTheOtherControlsEmptiesTheHelpPane) {
  Show(0);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  QWidget* strip = form.ComboBox1->parentWidget();
  const struct {
    const char* Name;
    QWidget* Control;
    QPoint At;
    bool Empties;
  } cases[] = {
      {"the combo's strip", strip, QPoint(1, 1), true},
      {"the count label", form.Label1, form.Label1->rect().center(), true},
      {"the gutter", form.PlusGutterU1Widget, form.PlusGutterU1Widget->rect().center(), true},
      {"the message pane", form.PlusMemoU2Widget->viewport(), QPoint(5, 5), true},
      {"the script editor", form.PlusMemoU1Widget->viewport(), QPoint(50, 50), false},
  };
  const std::u16string help = u"GetPos axis\r\nКоордината объекта.";
  for (const auto& c : cases) {
    form.PlusMemoU1.SetText(u"");
    Type(u"GetPos");
    ASSERT_EQ(form.PlusMemoU2.Text(), help);
    // Moved by the window system, as a pointer moves: only controls that
    // track the pointer see it.
    QTest::mouseMove(c.Control, c.At);
    EXPECT_EQ(form.PlusMemoU2.Text(), c.Empties ? u"" : help) << c.Name;
  }
}

}  // namespace
}  // namespace qm
