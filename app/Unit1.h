// TForm1: the main window. Its layout, the two editors and their shared highlighter chain, actions and menus, first show and close.
#pragma once

#include <QMainWindow>

#include <map>
#include <memory>
#include <string>

#include "editor/HighlighterChain.h"
#include "editor/PlusMemoU.h"
#include "platform/XmlDom.h"

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;

namespace qm {

class TPlusMemoWidget;

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // First show: settings, vocabulary, item browser (once per run).
  void FormShow();
  // Close: writes the window settings in their order. A failed write raises
  // "Unable to write to %s"; the close is then abandoned.
  void FormClose();

  // The action of that component name (nullptr when there is none).
  QAction* Action(const std::string& name) const;

  // The script editor and the message pane.
  TPlusMemoU PlusMemoU1;
  TPlusMemoU PlusMemoU2;
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
  QMenu* PopupMenu1 = nullptr;  // gutter
  QMenu* PopupMenu2 = nullptr;  // script editor

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildLayout();
  void ConfigureEditors();
  void BuildActions();
  void BuildMenus();
  // Loads data/scriptitems.xml under the current directory into the chain.
  void LoadVocabulary();

  std::unique_ptr<THighlighterChain> chain_;
  TXmlDocument document_;  // shared by the vocabulary and the help lookups
  std::map<std::string, QAction*> actions_;
  bool shown_ = false;
};

}  // namespace qm
