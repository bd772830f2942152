// The snippet commands' actions, tool buttons and menus on the main window, and the script editor's pop-up menu.
#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include <initializer_list>
#include <string>
#include <vector>

#include "app/ErrorBox.h"
#include "app/MainWindow.h"
#include "app/SnippetActions.h"
#include "qt/PlusMemoWidget.h"

namespace qm {

namespace {

// The operators, as both of their menus list them.
const std::initializer_list<const char*> kOperators{"Operator01", "Operator02", "Operator03",
                                                    "Operator04", "Operator05", "Operator06",
                                                    "-",          "Operator07", "Operator08"};

// The menu modes: 1 to 3, then the numbered menus (there is no 1050).
std::vector<std::string> MenuModeNames() {
  std::vector<std::string> names{"MM1", "MM2", "MM3", "-"};
  for (int number = 1001; number <= 1049; ++number) names.push_back("MM" + std::to_string(number));
  names.push_back("MM1051");
  return names;
}

}  // namespace

void TForm1::BuildSnippetActions() {
  for (const TSnippetSpec& snippet : SnippetActions()) {
    auto* action = new QAction(QString::fromUtf8(snippet.Caption), this);
    action->setObjectName(snippet.Name);
    if (snippet.Hint != nullptr) action->setToolTip(QString::fromUtf8(snippet.Hint));
    connect(action, &QAction::triggered, this, [this, &snippet] {
      // An exception goes to the error box instead of unwinding through the toolkit.
      try {
        SnippetExecute(snippet);
      } catch (const std::exception& e) {
        ShowErrorBox(e.what());
      }
    });
    actions_[snippet.Name] = action;
  }
}

void TForm1::BuildSnippetTools(QToolBar* toolBar) {
  // The block buttons show their pictures; until they have them, their hints.
  auto blockButton = [this, toolBar](const char* action, const char* name) {
    QAction* command = Action(action);
    command->setIconText(command->toolTip());
    toolBar->addAction(command);
    auto* button = qobject_cast<QToolButton*>(toolBar->widgetForAction(command));
    button->setObjectName(name);
    return button;
  };
  ToolButton11 = blockButton("ActionBeginEnd", "ToolButton11");
  ToolButton15 = blockButton("ActionIfEnd", "ToolButton15");
  PopupMenu5 = new QMenu(ToolButton15);
  PopupMenu5->setObjectName("PopupMenu5");
  ToolButton15->setMenu(PopupMenu5);
  ToolButton15->setPopupMode(QToolButton::MenuButtonPopup);
  toolBar->addSeparator();

  // A click types the equality operator; the arrow offers all of them.
  ToolButton13 = new QToolButton;
  ToolButton13->setObjectName("ToolButton13");
  ToolButton13->setToolTip("Операторы сравнения");
  // Until it has its picture the button shows what a click types.
  ToolButton13->setText("==");
  PopupMenu3 = new QMenu(ToolButton13);
  PopupMenu3->setObjectName("PopupMenu3");
  ToolButton13->setMenu(PopupMenu3);
  ToolButton13->setPopupMode(QToolButton::MenuButtonPopup);
  connect(ToolButton13, &QToolButton::clicked, Action("Operator01"), &QAction::trigger);
  toolBar->addWidget(ToolButton13);
  toolBar->addSeparator();
}

void TForm1::BuildSnippetMenus() {
  auto fill = [this](QMenu* menu, const auto& names) {
    for (const auto& name : names) {
      if (std::string(name) == "-")
        menu->addSeparator();
      else
        menu->addAction(Action(name));
    }
  };
  fill(PopupMenu3, kOperators);
  fill(PopupMenu5, std::initializer_list<const char*>{"ActionIf", "ActionElseIf", "ActionElse", "ActionEnd"});
  PopupMenu6 = ToolButton19->menu();
  PopupMenu6->setObjectName("PopupMenu6");
  fill(PopupMenu6, std::initializer_list<const char*>{"VarShort", "VarLong", "VarFloat", "VarRef"});
  PopupMenu4 = ToolButton16->menu();
  PopupMenu4->setObjectName("PopupMenu4");
  fill(PopupMenu4, MenuModeNames());

  // The operators lead the script editor's menu, apart from the edit commands.
  auto* operators = new QMenu("Операторы", PopupMenu2);
  fill(operators, kOperators);
  QAction* first = PopupMenu2->actions().value(0);
  PopupMenu2->insertMenu(first, operators);
  PopupMenu2->insertSeparator(first);
}

void TForm1::ConnectSnippets() {
  // The editor shows no menu of its own (pmoNoDefaultPopup): a right click shows the window's.
  PlusMemoU1Widget->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(PlusMemoU1Widget, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& point) { PopupMenu2->popup(PlusMemoU1Widget->viewport()->mapToGlobal(point)); });
}

}  // namespace qm
