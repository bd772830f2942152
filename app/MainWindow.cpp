// TForm1: layout, editors, actions and menus of the main window; settings read at the first show and written at close.
#include "app/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include "app/AboutBox.h"
#include "app/ActionTable.h"
#include "app/BalloonHint.h"
#include "app/DataFolder.h"
#include "app/ErrorBox.h"
#include "app/ExitConfirmation.h"
#include "app/FindDialog.h"
#include "app/GoToLineDialog.h"
#include "app/Icons.h"
#include "app/NewScriptDialog.h"
#include "app/ReplaceDialog.h"
#include "app/ScriptCheck.h"
#include "app/SettingsDialog.h"
#include "app/Splash.h"
#include "app/chain/ChainConfig.h"
#include "editor/highlight/StoredConfig.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/IniFile.h"
#include "qt/PlusGutterWidget.h"
#include "qt/PlusMemoWidget.h"

namespace qm {

namespace {

// The options both editors carry.
TPlusMemoOptions EditorOptions() {
  return TPlusMemoOptions{pmoWindowsSelColors,   pmoInsertKeyActive, pmoPersistentBlocks, pmoFullLineSelect,
                          pmoWideOverwriteCaret, pmoNoDefaultPopup,  pmoAutoScrollBars,   pmoSmartTabs,
                          pmoAutoIndent,         pmoPutExtraSpaces,  pmoBackIndent,       pmoWrapCaret};
}

const char* const kCategories[] = {"Функции", "Переменные", "Команды", "Типы блоков", "Все", "Пользовательские"};

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle("Quillmark 1.2");
  chain_ = BuildHighlighterChain(ParseStoredConfig(MainChainConfigText()));
  BuildLayout();
  ConfigureEditors();
  BuildActions();
  BuildMenus();
  ApplyIcons();
  Connect();
  InstallBalloonHints(this);
}

void TForm1::Connect() {
  ConnectFileCommands();
  ConnectEditCommands();
  // Change, caret moves, clicks and the focus share one handler.
  const auto change = [this](TComponent*) { PlusMemoU1Change(); };
  PlusMemoU1.OnChange = [this](TComponent*) {
    PlusMemoU1Change();
    ScriptCheck->TextChanged();
  };
  PlusMemoU1.OnSelMove = change;
  PlusMemoU1.OnClick = change;
  PlusMemoU1.OnEnter = change;
  PlusMemoU1.OnKeyDown = [this](TComponent*, TpmKey& key, TShiftState shift) { PlusMemoU1KeyDown(key, shift); };
  connect(ComboBox1, &QComboBox::activated, this, Guarded([this] { ComboBox1Change(); }));
  connect(Action("Exit"), &QAction::triggered, this, Guarded([this] { ExitExecute(); }));
  connect(Action("About"), &QAction::triggered, this, Guarded([this] { AboutExecute(); }));
  connect(Action("Wiev1"), &QAction::triggered, this, Guarded([this] { Wiev1Execute(); }));
  PlusGutterU1Widget->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(PlusGutterU1Widget, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenu1->popup(PlusGutterU1Widget->mapToGlobal(at)); });
  PlusMemoU1Widget->viewport()->installEventFilter(this);
  ListBox1->setMouseTracking(true);
  ListBox1->viewport()->setMouseTracking(true);
  ListBox1->viewport()->installEventFilter(this);
  for (QWidget* panel : {Panel1, static_cast<QWidget*>(Label1), ComboBox1->parentWidget(),
                         static_cast<QWidget*>(PlusGutterU1Widget), PlusMemoU2Widget->viewport()}) {
    panel->setMouseTracking(true);
    panel->installEventFilter(this);
  }
  ConnectSnippets();
  ConnectScriptCheck();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (destroying_) return QMainWindow::eventFilter(watched, event);
  // The editors carry the hint "Quillmark" but never show it; over a
  // problem the script check marked, its message shows instead.
  if (event->type() == QEvent::ToolTip && watched == PlusMemoU1Widget->viewport()) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const std::u16string hint = MarkHintAt(help->pos());
    if (hint.empty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), QString::fromStdU16String(hint), PlusMemoU1Widget->viewport());
    return true;
  }
  if (event->type() == QEvent::ToolTip && watched == PlusMemoU2Widget->viewport()) return true;
  // A double-click anywhere on the list inserts, on an item or not: the
  // list's own would go to an item only. The list does not see it.
  if (watched == ListBox1->viewport() && event->type() == QEvent::MouseButtonDblClick &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    Guarded([this] { ListBox1DblClick(); })();
    return true;
  }
  try {
    if (watched == ListBox1->viewport() && event->type() == QEvent::MouseMove) {
      ListBox1MouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
    } else if (event->type() == QEvent::MouseMove && watched != PlusMemoU1Widget->viewport() &&
               watched != PlusMemoU1Widget) {
      // The item browser outside the list, its count label and combo strip, the gutter, the message pane.
      Panel1MouseMove();
    }
  } catch (const std::exception& e) {
    ShowErrorBox(e.what());
  }
  // The editor and the list still handle every event themselves.
  return QMainWindow::eventFilter(watched, event);
}

TForm1::~TForm1() {
  // The widgets refer to the editors and the gutter, which are members and go
  // before the window's children would: the widgets go first.
  destroying_ = true;  // the filtered widgets go one by one from here
  PlusGutterU1.SetPlusMemoU(nullptr);
  delete takeCentralWidget();
}

void TForm1::BuildLayout() {
  Panel1 = new QWidget;
  auto* browser = new QVBoxLayout(Panel1);
  browser->setContentsMargins(0, 0, 0, 0);
  browser->setSpacing(0);
  auto* panel2 = new QWidget;
  panel2->setFixedHeight(33);
  auto* comboRow = new QVBoxLayout(panel2);
  comboRow->setContentsMargins(2, 4, 2, 4);
  ComboBox1 = new QComboBox;
  ComboBox1->setEditable(false);
  for (const char* category : kCategories) ComboBox1->addItem(QString::fromUtf8(category));
  comboRow->addWidget(ComboBox1);
  ListBox1 = new QListWidget;
  ListBox1->setMinimumWidth(1);
  Label1 = new QLabel("Всего:");
  browser->addWidget(panel2);
  browser->addWidget(ListBox1, 1);
  browser->addWidget(Label1);

  PlusMemoU1Widget = new TPlusMemoWidget(PlusMemoU1);
  PlusMemoU2Widget = new TPlusMemoWidget(PlusMemoU2);
  PlusMemoU2Widget->setMinimumHeight(1);
  PlusMemoU2Widget->setFrameShape(QFrame::NoFrame);
  for (QWidget* editor : {PlusMemoU1Widget->viewport(), PlusMemoU2Widget->viewport()})
    editor->setToolTip(QStringLiteral("Quillmark"));
  // The gutter, 29 pixels (at least 20), left of the script editor.
  auto* splitter2 = new QSplitter(Qt::Horizontal);
  PlusGutterU1Widget = new TPlusGutterWidget(PlusGutterU1, PlusMemoU1Widget->viewport());
  PlusGutterU1Widget->setMinimumWidth(20);
  splitter2->addWidget(PlusGutterU1Widget);
  splitter2->addWidget(PlusMemoU1Widget);
  splitter2->setStretchFactor(0, 0);
  splitter2->setStretchFactor(1, 1);
  splitter2->setSizes({29, 600});
  splitter2->setChildrenCollapsible(false);
  PlusGutterU1.ParagraphNumbers = true;
  PlusGutterU1.IgnoreLastLineIfEmpty = true;
  PlusGutterU1.SetPlusMemoU(&PlusMemoU1);
  Splitter3 = new QSplitter(Qt::Vertical);
  Splitter3->setHandleWidth(3);
  Splitter3->addWidget(splitter2);
  Splitter3->addWidget(PlusMemoU2Widget);
  Splitter3->setStretchFactor(0, 1);
  Splitter3->setStretchFactor(1, 0);
  Splitter3->setChildrenCollapsible(false);

  Splitter1 = new QSplitter(Qt::Horizontal);
  Splitter1->addWidget(Panel1);
  Splitter1->addWidget(Splitter3);
  Splitter1->setStretchFactor(0, 0);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setChildrenCollapsible(false);
  setCentralWidget(Splitter1);

  StatusPanel0 = new QLabel;
  StatusPanel0->setFixedWidth(200);
  StatusPanel1 = new QLabel;
  StatusPanel1->setFixedWidth(150);
  statusBar()->addWidget(StatusPanel0);
  statusBar()->addWidget(StatusPanel1);
  StatusPanel2 = new QLabel;
  StatusPanel2->setObjectName("StatusPanel2");
  StatusPanel2->setMinimumWidth(220);
  statusBar()->addWidget(StatusPanel2);
}

void TForm1::ConfigureEditors() {
  const TFontSpec courier{u"Courier New", 10, 0};
  // The script editor.
  PlusMemoU1.Options = EditorOptions();
  PlusMemoU1.TabStops = 2;
  PlusMemoU1.WordWrap = false;
  PlusMemoU1.LayoutSettings.LeftMargin = 6;
  PlusMemoU1.LayoutSettings.Font = courier;
  PlusMemoU1.LayoutSettings.AltFont = courier;
  PlusMemoU1.SetHideSelection(false);
  PlusMemoU1.PaintSettings.HighlightBackgnd = 0xFFFFFF;
  PlusMemoU1.PaintSettings.HighlightColor = 0;
  PlusMemoU1.PaintSettings.ShowEndParSelected = false;
  PlusMemoU1.SetSeparators(TCharSet(u"\t\n\r $%&(),./:;<=>"));
  // A script holding NUL bytes opens whole, with spaces in their place.
  PlusMemoU1.NullReplacement = u' ';
  PlusMemoU1.SetHighlighter(chain_->First());
  PlusMemoU1.LayoutChanged();

  // The message pane: read-only help text, wrapped and justified.
  PlusMemoU2.Options = EditorOptions();
  PlusMemoU2.TabStops = 2;
  PlusMemoU2.WordWrap = true;
  PlusMemoU2.ReadOnly = true;
  PlusMemoU2.SetDisplayOnly(true);
  PlusMemoU2.LayoutSettings.Justified = true;
  PlusMemoU2.LayoutSettings.RightMargin = 12;
  PlusMemoU2.LayoutSettings.Font = TFontSpec{u"Courier New", 9, 0};
  PlusMemoU2.LayoutSettings.AltFont = courier;
  PlusMemoU2.PaintSettings.Color = SystemColor(15);  // the panel's colour
  PlusMemoU2.SetSeparators(TCharSet(u"\t\n\r $%&(),-./:;<=>x"));
  PlusMemoU2.SetHighlighter(chain_->First());
  PlusMemoU2.LayoutChanged();
}

void TForm1::BuildActions() {
  for (const TActionSpec& entry : MainActions()) {
    auto* action = new QAction(QString::fromUtf8(entry.Caption), this);
    action->setObjectName(entry.Name);
    if (entry.Hint != nullptr) action->setToolTip(QString::fromUtf8(entry.Hint));
    if (entry.Shortcut != nullptr) action->setShortcut(QKeySequence(QString::fromUtf8(entry.Shortcut)));
    // The window's own shortcuts work wherever the focus is inside it.
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    actions_[entry.Name] = action;
  }
  BuildSnippetActions();
}

void TForm1::BuildMenus() {
  auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
    for (const char* name : names) {
      if (*name == '-')
        menu->addSeparator();
      else
        menu->addAction(Action(name));
    }
  };
  add(menuBar()->addMenu("Скрипт"),
      {"NewScript", "OpenScript", "SaveScript", "-", "CheckScript", "NextProblem", "PrevProblem", "-", "Exit"});
  add(menuBar()->addMenu("Правка"),
      {"undo1", "redo1", "-", "SelAll", "-", "copy1", "cut1", "paste1", "-", "Goto1", "Find", "Replace", "-", "Wiev1"});
  add(menuBar()->addMenu("Помощь"), {"About"});

  QToolBar* toolBar = addToolBar("JvToolBar1");
  toolBar->setObjectName("JvToolBar1");
  toolBar->setMovable(false);
  for (const char* name :
       {"NewScript", "OpenScript", "SaveScript", "-", "copy1", "cut1", "paste1", "-", "Find", "Goto1"}) {
    if (*name == '-')
      toolBar->addSeparator();
    else
      toolBar->addAction(Action(name));
  }

  PopupMenu1 = new QMenu(this);
  add(PopupMenu1, {"Find", "Goto1"});
  PopupMenu2 = new QMenu(this);
  add(PopupMenu2, {"undo1", "redo1", "-", "SelAll", "-", "copy1", "cut1", "paste1"});

  // The two drop-down buttons that follow the caret's context; their
  // snippet menus are filled by the snippet commands.
  toolBar->addSeparator();
  BuildSnippetTools(toolBar);
  auto dropDown = [toolBar](const char* name, const char* hint) {
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setToolTip(QString::fromUtf8(hint));
    button->setText(QString::fromUtf8(hint));
    button->setPopupMode(QToolButton::InstantPopup);
    button->setMenu(new QMenu(button));
    button->setEnabled(false);
    toolBar->addWidget(button);
    return button;
  };
  ToolButton19 = dropDown("ToolButton19", "Переменные");
  toolBar->addSeparator();
  ToolButton16 = dropDown("ToolButton16", "Типы меню");
  BuildSnippetMenus();
}

void TForm1::ApplyIcons() {
  for (const std::string& name : IconNames()) {
    if (QAction* action = Action(name)) action->setIcon(ActionIcon(name));
    if (auto* button = findChild<QToolButton*>(QString::fromStdString(name))) button->setIcon(ActionIcon(name));
  }
}

QAction* TForm1::Action(const std::string& name) const {
  const auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

void TForm1::setVisible(bool visible) {
  // The stored place is the frame's, as close writes it. Given before the
  // window exists, the window manager puts the frame there; given at the
  // first show, when the window exists but has no frame yet, it would put
  // the client area there, lower by the title bar at every start.
  if (visible && !shown_) PlaceWindow();
  QMainWindow::setVisible(visible);
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TForm1::PlaceWindow() {
  const TIniFile ini(SettingsFilePath());
  if (ini.ReadBool("MainWindow", "Maximised", false)) {
    setWindowState(windowState() | Qt::WindowMaximized);
  } else {
    move(ini.ReadInteger("MainWindow", "X", 150), ini.ReadInteger("MainWindow", "Y", 100));
    resize(width(), ini.ReadInteger("MainWindow", "Height", 600));
    resize(ini.ReadInteger("MainWindow", "Width", 800), height());
  }
}

void TForm1::FormShow() {
  const TIniFile ini(SettingsFilePath());
  Splitter1->setSizes({ini.ReadInteger("Inspector", "Width", 150), std::max(width() - 150, 1)});
  const int category = ini.ReadInteger("Inspector", "Value", 3);
  // An index outside the list leaves the combo without a selection.
  ComboBox1->setCurrentIndex(category >= 0 && category < ComboBox1->count() ? category : -1);

  // The window's place and size were given as it was made visible (PlaceWindow).

  const std::string font = ini.ReadString("Editor", "Font", WideToAnsi(PlusMemoU1.LayoutSettings.Font.Name));
  PlusMemoU1.LayoutSettings.Font.Name = AnsiToWide(font);
  PlusMemoU1.PaintSettings.Color = ini.ReadInteger("Editor", "Background", PlusMemoU1.PaintSettings.Color);
  PlusMemoU1.LayoutSettings.Font.Size = ini.ReadInteger("Editor", "FontSize", 10);
  PlusMemoU1.LayoutChanged();

  const int message = ini.ReadInteger("Message", "Height", 70);
  Splitter3->setSizes({std::max(Splitter3->height() - message, 1), message});

  LoadVocabulary();
  ComboBox1Change();
  Form9.reset();
}

void TForm1::CreateForms() {
  if (Form3 != nullptr) return;
  Form2 = new TForm2(*this);
  Form3 = new TForm3(this);
  Form3->SaveScript = [this] { return SaveScriptExecute(); };
  Form4 = new TForm4(*this);  // each reads its stored position here
  Form5 = new TForm5(*this);
  ReplaceDialog = new TReplaceDialog(*this);
  Form6 = new TForm6(this);
  Form7 = new TForm7(*chain_, PlusMemoU1, this);
}

void TForm1::ExitExecute() {
  CreateForms();
  Form3->exec();
}

void TForm1::AboutExecute() {
  CreateForms();
  Form6->exec();
}

void TForm1::Wiev1Execute() {
  CreateForms();
  Form7->exec();
}

void TForm1::LoadVocabulary() {
  const std::string path = DataFolder() + "/scriptitems.xml";
  // A missing or broken vocabulary leaves the templates; nothing is reported
  // but to those who ask for the data files' messages.
  if (!document_.Load(path) || document_.ParseErrorLine() != 0) {
    qCInfo(DataFiles, "vocabulary %s not loaded", path.c_str());
    return;
  }
  const TIniFile ini(SettingsFilePath());
  const auto items = ReadVocabularyItems(document_);
  size_t words = 0;
  for (const auto& category : items) words += category.size();
  qCInfo(DataFiles, "vocabulary %s: %zu words", path.c_str(), words);
  ::qm::LoadVocabulary(*chain_, items, [&](const char* key, TColor templateColour) {
    return ini.ReadInteger("Syntax", key, templateColour);
  });
  PlusMemoU1.HighlightingChanged();
  PlusMemoU2.HighlightingChanged();
  ScriptCheck->SetVocabulary(check::TScriptVocabulary::FromCategories(items));
  ScriptCheck->CheckSoon();
}

void TForm1::FormClose() {
  TIniFile ini(SettingsFilePath());
  // The frame's place and the client area's size, as PlaceWindow gives them back.
  ini.WriteInteger("MainWindow", "X", x());
  ini.WriteInteger("MainWindow", "Y", y());
  ini.WriteInteger("MainWindow", "Height", height());
  ini.WriteInteger("MainWindow", "Width", width());
  ini.WriteBool("MainWindow", "Maximised", isMaximized() || isMinimized());
  ini.WriteInteger("Inspector", "Value", ComboBox1->currentIndex());
  ini.WriteInteger("Inspector", "Height", Panel1->height());
  ini.WriteInteger("Inspector", "Width", Panel1->width());
  ini.WriteInteger("Message", "Height", PlusMemoU2Widget->height());
}

void TForm1::closeEvent(QCloseEvent* event) {
  try {
    FormClose();
    event->accept();
  } catch (const std::exception& e) {
    // The settings could not be written: say so and keep the window open.
    event->ignore();
    ShowErrorBox(e.what());
  }
}

}  // namespace qm
