// TForm7: the settings dialog (editor font, size, background and the vocabulary colours), written to the settings file on OK.
#pragma once

#include <array>
#include <optional>

#include "app/WindowPlacement.h"
#include "editor/control/PlusMemoU.h"
#include "editor/highlight/HighlighterChain.h"
#include "platform/IniFile.h"

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

namespace qm {

class TColorComboBox;

class TForm7 : public TScreenCentredDialog {
  Q_OBJECT

 public:
  // Reads the start-up colours from chain and the background default from editor.
  TForm7(const THighlighterChain& chain, const TPlusMemoU& editor, QWidget* parent = nullptr);

  // Runs each time the dialog is shown: the settings file read afresh.
  void FormShow();
  // OK: writes the eight keys in their order, then closes.
  void Button1Click();
  void Button2Click();

  QComboBox* JvFontComboBox1 = nullptr;
  QComboBox* ComboBox1 = nullptr;              // font sizes
  TColorComboBox* JvColorComboBox6 = nullptr;  // background
  // Functions, variable types, commands, block types, parameters.
  std::array<TColorComboBox*, 5> JvColorComboBox{};
  std::array<QLabel*, 5> Label{};
  QFrame* Panel1 = nullptr;  // the preview
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildLayout();
  void ColourChanged(int n);
  void JvFontComboBox1Change();
  void JvColorComboBox6Change();
  void SelectFont(const QString& name);

  const THighlighterChain& chain_;
  const TPlusMemoU& editor_;
  std::optional<TIniFile> ini_;
};

}  // namespace qm
