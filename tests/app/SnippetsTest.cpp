// Tests of the snippet commands on the real main window: inline and line insertion, begin…end, declarations, menu modes, their menus and buttons.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <string>
#include <vector>

#include "AppFixture.h"
#include "app/MainWindow.h"
#include "editor/control/PlusMemoU.h"
#include "platform/CodePage.h"
#include "qt/PlusMemoWidget.h"

namespace qm {
namespace {

const char* const kVocabulary =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><items><extension>"
    "<function>GetPos</function><var>short</var><command>set</command>"
    "<blocktype>GameMode</blocktype><blocktype>MenuMode</blocktype></extension></items>";

// A text written with the caret as ^ and, when text is selected, the other
// end of the selection as ~. Positions count CR LF as two, as the strings do.
struct TMarked {
  std::u16string Text;
  int32_t Caret = 0;
  int32_t Anchor = 0;
};

TMarked Unmark(std::u16string_view marked) {
  TMarked result;
  bool anchored = false;
  for (const char16_t c : marked) {
    const auto at = static_cast<int32_t>(result.Text.size());
    if (c == u'^') {
      result.Caret = at;
    } else if (c == u'~') {
      result.Anchor = at;
      anchored = true;
    } else {
      result.Text += c;
    }
  }
  if (!anchored) result.Anchor = result.Caret;
  return result;
}

std::u16string Mark(const std::u16string& text, int32_t caret) {
  return text.substr(0, static_cast<size_t>(caret)) + u"^" + text.substr(static_cast<size_t>(caret));
}

std::vector<QString> Captions(const QMenu* menu) {
  std::vector<QString> captions;
  for (QAction* a : menu->actions()) captions.push_back(a->isSeparator() ? "-" : a->text());
  return captions;
}

class Snippets : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    WriteFile("data/scriptitems.xml", kVocabulary);
    form.show();
  }

  // The editor holding the marked text with nothing to undo.
  void Start(std::u16string_view marked) {
    const TMarked start = Unmark(marked);
    TPlusMemoU& memo = form.PlusMemoU1;
    memo.SetText(start.Text);
    memo.ClearUndo();
    memo.SetSelStart(start.Caret);
    memo.SetSelLength(start.Anchor - start.Caret);
  }

  std::u16string Result() { return Mark(form.PlusMemoU1.Text(), form.PlusMemoU1.SelStart()); }

  TForm1 form;
};

TEST_F(Snippets, EachCommandTypesItsTextAndPlacesTheCaret) {
  const struct {
    std::u16string_view Before;
    const char* Action;
    std::u16string_view After;
  } cases[] = {
      // Inline: a space first when a word touches the caret; "(" ends words in the script editor.
      {u"x^", "Operator01", u"x == ^"},
      {u"x ^", "Operator01", u"x == ^"},
      {u"(^", "Operator07", u"(&& ^"},
      {u"a^", "Operator08", u"a || ^"},
      {u"a ~bc^", "Operator03", u"a > ^"},
      {u"begin MenuMode^\r\nend", "MM1044", u"begin MenuMode 1044^\r\nend"},
      {u"begin MenuMode ^\r\nend", "MM1044", u"begin MenuMode 1044^\r\nend"},
      {u"x ~foo^ y", "MM2", u"x 2^ y"},
      {u"x~foo^ y", "MM2", u"x 2^ y"},
      {u"^", "MM1051", u"1051^"},
      // An empty editor: the line goes above its only (empty) line.
      {u"^", "ActionIf", u"  if (^)\r\n"},
      // Below the caret line, indented like it plus the snippet's own two spaces.
      {u"scn a\r\n    set a^ to 1\r\nend", "ActionIfEnd",
       u"scn a\r\n    set a to 1\r\n      if (^)\r\n\r\n      endif\r\nend"},
      // A blank line takes the indent of the line above; else stays where the insertion left the caret.
      {u"\tif (a)\r\n^\r\n\tendif", "ActionElse", u"\tif (a)\r\n\r\n\telse\r\n^\tendif"},
      {u"  set x\r\n^\r\nend", "ActionIf", u"  set x\r\n\r\n    if (^)\r\nend"},
      {u"\t \r\n^\r\nend", "ActionElseIf", u"\t \r\n\r\n\t elseif (^)\r\nend"},
      // A blank first line has no line above: no indent.
      {u"  ^\r\n    set x to 1", "ActionEnd", u"  \r\nendif\r\n^    set x to 1"},
      // A text of one line: the snippet goes above it.
      {u"scn test^", "ActionElseIf", u"elseif (^)\r\nscn test"},
      {u"scn a^", "VarLong", u"long ^\r\nscn a"},
      // The last line: the snippet is appended after it.
      {u"scn a\r\n  set x to 1^", "ActionIf", u"scn a\r\n  set x to 1\r\n    if (^)"},
      {u"scn a\r\n\tx^", "ActionIfEnd", u"scn a\r\n\tx\r\n\t  if (^)\r\n\r\n\t  endif"},
      {u"scn a\r\n^", "ActionIf", u"scn a\r\n\r\n  if (^)"},
      // A selection goes first; the indent is that of the caret line before the deletion.
      {u"scn a\r\n~x\r\n    set y^ to 1\r\nend", "ActionIf", u"scn a\r\n to 1\r\n    if ()^\r\nend"},
      {u"~abc^", "ActionIfEnd", u"if ()^\r\n\r\nendif\r\n"},
      {u"\tif (a)\r\n\t~x^\r\n\tendif", "ActionElse", u"\tif (a)\r\n\t\r\n\telse\r\n\tendif^"},
      {u"~ab^\r\nc", "ActionEnd", u"\r\nendif\r\n^c"},
      // Declarations: the caret after the keyword's space, or with a selection at
      // the end of the line where the insertion left it.
      {u"scn test^\r\n\r\nbegin GameMode\r\nend", "VarFloat", u"scn test\r\nfloat ^\r\n\r\nbegin GameMode\r\nend"},
      {u"scn a\r\n  set x^ to 1\r\nend", "VarRef", u"scn a\r\n  set x to 1\r\n  ref ^\r\nend"},
      {u"scn ~a^\r\nend", "VarLong", u"scn \r\nlong \r\nend^"},
      {u"scn a\r\n~short^", "VarShort", u"scn a\r\n\r\nshort ^"},
      // begin … end at the end of the script whatever the caret, after "begin ".
      {u"scn^ a\r\nshort x", "ActionBeginEnd", u"scn a\r\nshort x\r\nbegin ^\r\n\r\nend"},
      {u"scn a\r\n^", "ActionBeginEnd", u"scn a\r\nbegin ^\r\n\r\nend\r\n"},
      {u"^", "ActionBeginEnd", u"begin ^\r\n\r\nend\r\n"},
      {u"scn ~a^\r\n", "ActionBeginEnd", u"scn \r\nbegin ^\r\n\r\nend\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Action + (" on " + WideToUtf8(c.Before)));
    Start(c.Before);
    const bool selected = form.PlusMemoU1.SelLength() != 0;
    form.Action(c.Action)->trigger();
    EXPECT_EQ(WideToUtf8(Result()), WideToUtf8(std::u16string(c.After)));
    EXPECT_EQ(form.PlusMemoU1.SelLength(), 0);
    // One undo step for the snippet, and one more for the selection it replaced.
    for (int step = 0; step < (selected ? 2 : 1); ++step) {
      EXPECT_TRUE(form.PlusMemoU1.CanUndo());
      form.PlusMemoU1.Undo();
    }
    EXPECT_FALSE(form.PlusMemoU1.CanUndo());
    EXPECT_EQ(WideToUtf8(form.PlusMemoU1.Text()), WideToUtf8(Unmark(c.Before).Text));
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(Snippets, BeginEndSwitchesTheItemBrowserToBlockTypes) {
  form.ComboBox1->setCurrentIndex(0);
  form.ComboBox1Change();
  ASSERT_EQ(form.Label1->text(), "Всего: 1");
  Start(u"scn a^");
  form.Action("ActionBeginEnd")->trigger();
  EXPECT_EQ(form.ComboBox1->currentIndex(), 3);
  ASSERT_EQ(form.ListBox1->count(), 2);
  EXPECT_EQ(form.ListBox1->item(0)->text(), "GameMode");
  EXPECT_EQ(form.ListBox1->item(1)->text(), "MenuMode");
  EXPECT_EQ(form.Label1->text(), "Всего: 2");
  // The browser's refill did not move the caret from after "begin ".
  EXPECT_EQ(Result(), u"scn a\r\nbegin ^\r\n\r\nend");
}

TEST_F(Snippets, ContextButtonsOfferTheirCommandsWhereTheyApply) {
  // Outside both contexts neither menu can be opened.
  Start(u"^");
  form.PlusMemoU1Change();
  EXPECT_FALSE(form.ToolButton19->isEnabled());
  EXPECT_FALSE(form.ToolButton16->isEnabled());

  Start(u"scn test^\r\n\r\nbegin MenuMode\r\nend");
  form.PlusMemoU1Change();
  ASSERT_TRUE(form.ToolButton19->isEnabled());
  EXPECT_FALSE(form.ToolButton16->isEnabled());
  EXPECT_EQ(form.ToolButton19->menu(), form.PopupMenu6);
  form.PopupMenu6->actions()[2]->trigger();  // float
  EXPECT_EQ(Result(), u"scn test\r\nfloat ^\r\n\r\nbegin MenuMode\r\nend");

  Start(u"scn test\r\n\r\nbegin MenuMode^\r\nend");
  form.PlusMemoU1Change();
  ASSERT_TRUE(form.ToolButton16->isEnabled());
  EXPECT_FALSE(form.ToolButton19->isEnabled());
  EXPECT_EQ(form.ToolButton16->menu(), form.PopupMenu4);
  form.PopupMenu4->actions()[4 + 43]->trigger();  // 1044, after 1 to 3 and the separator
  EXPECT_EQ(Result(), u"scn test\r\n\r\nbegin MenuMode 1044^\r\nend");
}

TEST_F(Snippets, ToolButtonsRunTheirCommands) {
  Start(u"x^");
  QTest::mouseClick(form.ToolButton13, Qt::LeftButton);
  EXPECT_EQ(Result(), u"x == ^");
  Start(u"scn a^\r\nend");
  QTest::mouseClick(form.ToolButton15, Qt::LeftButton);
  EXPECT_EQ(Result(), u"scn a\r\n  if (^)\r\n\r\n  endif\r\nend");
  Start(u"scn a^");
  QTest::mouseClick(form.ToolButton11, Qt::LeftButton);
  EXPECT_EQ(Result(), u"scn a\r\nbegin ^\r\n\r\nend");
  EXPECT_EQ(form.ToolButton11->toolTip(), "begin...end");
  EXPECT_EQ(form.ToolButton15->toolTip(), "if...endif");
  EXPECT_EQ(form.ToolButton13->toolTip(), "Операторы сравнения");
  EXPECT_EQ(form.ToolButton15->menu(), form.PopupMenu5);
  EXPECT_EQ(form.ToolButton13->menu(), form.PopupMenu3);
}

TEST_F(Snippets, TheToolBarGroupsTheSnippetButtons) {
  const auto* toolBar = form.findChild<QToolBar*>("JvToolBar1");
  ASSERT_NE(toolBar, nullptr);
  std::vector<QString> order;
  for (QAction* a : toolBar->actions()) {
    if (a->isSeparator()) {
      order.push_back("|");
    } else {
      const QWidget* widget = toolBar->widgetForAction(a);
      // Plain action buttons go by their action's name, the others by their own.
      order.push_back(a->objectName().isEmpty() ? widget->objectName() : a->objectName());
    }
  }
  EXPECT_EQ(order, (std::vector<QString>{"NewScript", "OpenScript", "SaveScript", "|", "copy1", "cut1", "paste1", "|",
                                         "Find", "Goto1", "|", "ActionBeginEnd", "ActionIfEnd", "|", "ToolButton13",
                                         "|", "ToolButton19", "|", "ToolButton16"}));
}

TEST_F(Snippets, MenusListTheCommandsWithTheirCaptionsInOrder) {
  const std::vector<QString> operators{"== (Равенство)",
                                       "!= (Неравенство)",
                                       "> (Больше чем)",
                                       ">= (Больше или равно)",
                                       "< (Меньше чем )",
                                       "<= (Меньше или равно)",
                                       "-",
                                       "&&&& (логическое И)",
                                       "|| (логическое ИЛИ)"};
  EXPECT_EQ(Captions(form.PopupMenu3), operators);
  EXPECT_EQ(Captions(form.PopupMenu5),
            (std::vector<QString>{"if (если)", "elseif (иначе если)", "else (иначе)", "endif (конец if)"}));
  EXPECT_EQ(Captions(form.PopupMenu6),
            (std::vector<QString>{"short (короткая  целочисленная)", "long (длинная целочисленная)",
                                  "float (с плавающей точкой)", QString::fromUtf8("ref (c\xD1\x81ылка на объект)")}));
  EXPECT_EQ(Captions(form.PopupMenu4), (std::vector<QString>{"1 (хар-ки, магия, инвентарь, журнал)",
                                                             "2 (окна сообщений)",
                                                             "3 (консоль)",
                                                             "-",
                                                             "Сообщение = 1001",
                                                             "Инвентарь = 1002",
                                                             "Хар-ки = 1003",
                                                             "Главный HUD = 1004",
                                                             "Информационный HUD = 1005",
                                                             "Крест (HUDReticle) = 1006",
                                                             "Заставка во время загрузки = 1007",
                                                             "Контейнер = 1008",
                                                             "Диалог = 1009",
                                                             "Субтитры (HUDSubtitle) = 1010",
                                                             "Общий (Generic) = 1011",
                                                             "Спать/Ждать = 1012",
                                                             "Пауза = 1013",
                                                             "Взлом = 1014",
                                                             "Опции = 1015",
                                                             "Количество = 1016",
                                                             "Аудио = 1017",
                                                             "Видео = 1018",
                                                             "Видеодисплей (VideoDisplay) = 1019",
                                                             "Геймплей (Gameplay) = 1020",
                                                             "Управление (Controls) = 1021",
                                                             "Магия = 1022",
                                                             "Карта = 1023",
                                                             "Магическое всплывающее окно = 1024",
                                                             "Торговля = 1025",
                                                             "Книга = 1026",
                                                             "Уровень = 1027",
                                                             "Тренировка = 1028",
                                                             "Знак = 1029",
                                                             "Класс = 1030",
                                                             "Атрибуты = 1031",
                                                             "Умения = 1032",
                                                             "Специализация = 1033",
                                                             "Убеждение = 1034",
                                                             "Починка = 1035",
                                                             "Раса/Пол = 1036",
                                                             "Покупка заклинаний = 1037",
                                                             "Загрузка = 1038",
                                                             "Сохранение = 1039",
                                                             "Алхимия = 1040",
                                                             "Создание заклинаний = 1041",
                                                             "Зачарование = 1042",
                                                             "Установка эффектов = 1043",
                                                             "Главное = 1044",
                                                             "Воздух = 1045",
                                                             "Быстрые клавиши = 1046",
                                                             "Разработчики = 1047",
                                                             "Камень Сигил = 1048",
                                                             "Перезарядка = 1049",
                                                             "Редактирование текста = 1051"}));
  // Each menu-mode entry is the action of its number.
  EXPECT_EQ(form.PopupMenu4->actions().back()->objectName(), "MM1051");
  EXPECT_EQ(form.PopupMenu4->actions()[4]->objectName(), "MM1001");

  // The script editor's menu: the operators first, then the edit commands.
  const std::vector<QString> editor = Captions(form.PopupMenu2);
  ASSERT_GE(editor.size(), 3u);
  EXPECT_EQ(editor[0], "Операторы");
  EXPECT_EQ(editor[1], "-");
  EXPECT_EQ(editor[2], "Отменить");
  EXPECT_EQ(Captions(form.PopupMenu2->actions()[0]->menu()), operators);
  // The two block actions keep their names as captions; only their hints show.
  EXPECT_EQ(form.Action("ActionBeginEnd")->text(), "ActionIfEnd");
  EXPECT_EQ(form.Action("ActionIfEnd")->text(), "ActionIfEnd");
  for (const char* name : {"Operator01", "ActionIf", "VarShort", "MM1", "MM1049"})
    EXPECT_TRUE(form.Action(name)->shortcut().isEmpty()) << name;
}

TEST_F(Snippets, ARightClickInTheScriptEditorOpensItsMenu) {
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  ASSERT_FALSE(form.PopupMenu2->isVisible());
  // Through the window, as the platform delivers a click, so that the toolkit makes its context-menu event.
  const QPoint point = form.PlusMemoU1Widget->viewport()->mapTo(&form, QPoint(20, 10));
  QTest::mouseClick(form.windowHandle(), Qt::RightButton, {}, point);
  EXPECT_TRUE(form.PopupMenu2->isVisible());
  form.PopupMenu2->close();
}

}  // namespace
}  // namespace qm
