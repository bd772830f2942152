// TForm1: the main window. Its layout, the two editors and their shared highlighter chain, actions and menus, first show and close.
#pragma once

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "editor/control/PlusMemoU.h"
#include "editor/gutter/PlusGutterU.h"
#include "editor/highlight/HighlighterChain.h"
#include "editor/highlight/KeywordList.h"
#include "export/PlusToFormatU.h"
#include "platform/XmlDom.h"

class QAction;
class QComboBox;
class QFileDialog;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QToolBar;
class QToolButton;

namespace qm {

class TForm3;
class TForm6;
class TForm7;
class TForm9;
class TPlusGutterWidget;
class TForm2;  // the dialogs of the file and edit commands
class TForm4;
class TForm5;
class TPlusMemoWidget;
class TReplaceDialog;
class TScriptCheck;
struct TSnippetSpec;

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // The first time the window is made visible, its stored place and size
  // are given first (PlaceWindow).
  void setVisible(bool visible) override;
  // First show: settings, vocabulary, item browser (once per run).
  void FormShow();
  // Close: writes the window settings in their order. A failed write raises
  // "Unable to write to %s"; the close is then abandoned.
  void FormClose();

  // The action of that component name (nullptr when there is none).
  QAction* Action(const std::string& name) const;

  // --- Item browser ---
  // The category change: fills the list for the combo's category.
  void ComboBox1Change();
  // Inserts the selected item into the script editor.
  void ListBox1DblClick();
  // The list's items as 8-bit strings, in list order.
  const std::vector<std::string>& Items() const { return items_; }

  // --- Context help ---
  // The caret update: status bar, list selection, context buttons, help.
  void PlusMemoU1Change();
  // A key about to reach the script editor (Ctrl+Q completes, space clears
  // the list selection); the editor handles the key afterwards.
  void PlusMemoU1KeyDown(TpmKey key, TShiftState shift);
  // The mouse over the item list at a point of the list's viewport.
  void ListBox1MouseMove(const QPoint& point);
  // The mouse over the other panels (the item browser outside the list, the
  // gutter, the message pane): the message pane is emptied.
  void Panel1MouseMove();

  // --- Shell dialogs ---
  // Creates the hidden dialogs of the start sequence; later calls do nothing.
  void CreateForms();
  // Exit: the exit confirmation; About: the about box; Wiev1: the settings dialog.
  void ExitExecute();
  void AboutExecute();
  void Wiev1Execute();
  TForm3* Form3 = nullptr;
  TForm6* Form6 = nullptr;
  TForm7* Form7 = nullptr;
  // The splash, destroyed at the end of the first show.
  std::unique_ptr<TForm9> Form9;

  // The script editor and the message pane.
  TPlusMemoU PlusMemoU1;
  TPlusMemoU PlusMemoU2;
  TPlusGutterU PlusGutterU1;
  TPlusGutterWidget* PlusGutterU1Widget = nullptr;
  TPlusMemoWidget* PlusMemoU1Widget = nullptr;
  TPlusMemoWidget* PlusMemoU2Widget = nullptr;
  THighlighterChain& Chain() { return *chain_; }

  QWidget* Panel1 = nullptr;  // the item browser
  QComboBox* ComboBox1 = nullptr;
  QListWidget* ListBox1 = nullptr;
  QLabel* Label1 = nullptr;
  QSplitter* Splitter1 = nullptr;  // item browser | editor area
  QSplitter* Splitter3 = nullptr;  // editor | message pane
  QLabel* StatusPanel0 = nullptr;
  QLabel* StatusPanel1 = nullptr;
  QLabel* StatusPanel2 = nullptr;       // the script check's counts
  QToolButton* ToolButton16 = nullptr;  // menu types, enabled at context 11
  QToolButton* ToolButton19 = nullptr;  // variable types, enabled at context 88
  QMenu* PopupMenu1 = nullptr;          // gutter
  QMenu* PopupMenu2 = nullptr;          // script editor

  // --- Files and editing ---
  // New script from the new-script dialog (modal).
  void NewScriptExecute();
  // Open dialog, then the file's 8-bit text replaces the editor text.
  void OpenScriptExecute();
  // The open itself: the file's 8-bit text replaces the editor text, each NUL
  // a space with a warning. A file that cannot be read raises the file error
  // and leaves the text as it was.
  void OpenScriptFile(const std::string& path);
  // Save dialog, then the text (first filter entry) or RTF (second) written
  // whole or not at all. False when the dialog was cancelled; a failed write
  // raises the file error. The exit confirmation runs the same steps.
  bool SaveScriptExecute();
  void undo1Execute();
  void redo1Execute();
  void SelAllExecute();
  void copy1Execute();
  void cut1Execute();
  void paste1Execute();
  // Shows the find dialog (modeless) when the text holds two positions or more.
  void FindExecute();
  // F3: the find dialog's search with its current contents, shown or not.
  void FindNextExecute();
  // Ctrl+H: shows the replace dialog (modeless), its texts taken from the caret.
  void ReplaceExecute();
  // The go-to-line dialog (modal).
  void Goto1Execute();
  // Toggles bookmark 1 on display line 2, wherever the click was.
  void PlusGutterU1DblClick();

  // What a file dialog gave: the file and the 1-based entry of the filter list.
  struct TFileChoice {
    QString FileName;
    int FilterIndex = 1;
  };
  // Runs a configured file dialog; false when cancelled. Runs the dialog
  // modally by default; tests put their answer here instead.
  std::function<bool(QFileDialog& dialog, TFileChoice& choice)> ExecFileDialog;
  QFileDialog* JvOpenDialog1 = nullptr;
  QFileDialog* JvSaveDialog1 = nullptr;
  TPlusToRTFU PlusToRTFU1;
  TForm2* Form2 = nullptr;  // new script
  TForm4* Form4 = nullptr;  // find
  TForm5* Form5 = nullptr;  // go to line
  TReplaceDialog* ReplaceDialog = nullptr;

 private:
  // Creates the dialogs and connects the file and edit commands.
  void ConnectFileCommands();
  void ConnectEditCommands();
  // Runs dialog through ExecFileDialog; the chosen file as a path of the system.
  bool RunFileDialog(QFileDialog& dialog, std::string& path, int& filterIndex);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // The stored window state, or place and size (the frame's place).
  void PlaceWindow();
  void BuildLayout();
  void ConfigureEditors();
  void BuildActions();
  void BuildMenus();
  void ApplyIcons();
  void Connect();
  // Loads scriptitems.xml of the data folder (DataFolder) into the chain.
  void LoadVocabulary();

  // Adds the lines of the user items files (UserItemFiles) to the list; false
  // (after the error box) when the data folder's user.txt cannot be read. The
  // user's own file, when it cannot be read, gets the error box and adds nothing.
  bool AddUserItems();
  void AddItems(const TKeywordList& list);
  void SetItems(std::vector<std::string> items);
  int SelectedItem() const;
  void SelectItem(int index);
  // Loads help.xml of the data folder when it changed since the last load; false when it
  // is missing or not well formed.
  bool LoadHelp();
  // The help of an item: its syntax line and help text; false when it has none.
  bool HelpOf(const std::string& item, std::u16string& syntax, std::u16string& text);
  void ShowHelp(const std::string& item);
  void SetMessage(const std::u16string& text);

  std::unique_ptr<THighlighterChain> chain_;
  std::vector<std::string> items_;
  TXmlDocument help_;
  std::string helpStamp_;  // size and time of the help file last loaded
  TXmlDocument document_;  // shared by the vocabulary and the help lookups
  std::map<std::string, QAction*> actions_;
  bool shown_ = false;
  bool destroying_ = false;

  // --- Script check ---
 public:
  // Checks the script after each pause in typing, open and new script.
  TScriptCheck* ScriptCheck = nullptr;
  // "Проверить скрипт": checks at once and lists every problem in the message pane.
  void CheckScriptExecute();
  // F8 and Shift+F8: the caret to the next or previous problem, its message in the message pane.
  void NextProblemExecute(bool forward);
  // The hint of the mark under a point of the script editor's viewport ("" for none).
  std::u16string MarkHintAt(const QPoint& point);

 private:
  void ConnectScriptCheck();
  // The counts of the last check in the status bar.
  void ShowCheckCounts();

  // --- Snippets ---
 public:
  // Runs a snippet command (operators, if lines, begin…end, declarations, menu modes) on the script editor.
  void SnippetExecute(const TSnippetSpec& snippet);
  QToolButton* ToolButton11 = nullptr;  // begin…end
  QToolButton* ToolButton15 = nullptr;  // if…endif; its arrow opens PopupMenu5
  QToolButton* ToolButton13 = nullptr;  // comparison operators: a click types ==, the arrow opens PopupMenu3
  QMenu* PopupMenu3 = nullptr;          // operators
  QMenu* PopupMenu4 = nullptr;          // menu modes (ToolButton16)
  QMenu* PopupMenu5 = nullptr;          // if, elseif, else, endif
  QMenu* PopupMenu6 = nullptr;          // variable types (ToolButton19)

 private:
  void BuildSnippetActions();
  // The begin…end and if…endif buttons, a separator, the operators button and a separator.
  void BuildSnippetTools(QToolBar* toolBar);
  // The drop-down menus and the operators submenu at the top of PopupMenu2.
  void BuildSnippetMenus();
  // PopupMenu2 on a right click in the script editor.
  void ConnectSnippets();
};

}  // namespace qm
