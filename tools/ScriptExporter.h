// TScriptExporter: writes script files as RTF the way the main window's save-as-RTF does, on its chain, vocabulary and settings.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "editor/control/PlusMemoU.h"
#include "editor/highlight/HighlighterChain.h"
#include "platform/Stream.h"
#include "platform/XmlDom.h"

namespace qm {

class TIniFile;

// What the main window reads from the settings file at start and the export
// depends on. Defaults: no settings file.
struct TEditorSettings {
  std::u16string FontName = u"Courier New";
  int FontSize = 10;
  TColor Background = SystemColor(5);
  // Syntax colours: asked with the template colour as the default.
  std::function<TColor(const char* syntaxKey, TColor templateColour)> SyntaxColour;
};

// The keys the main window reads at its first show (Editor/Font, FontSize,
// Background; Syntax/* when the vocabulary is loaded).
TEditorSettings ReadEditorSettings(const TIniFile& ini);

class TScriptExporter {
 public:
  // Builds the main window's chain from its stored configuration and loads
  // the vocabulary document into it with the settings' colours.
  TScriptExporter(const TStoredConfig& chainConfig, const TXmlDocument& vocabulary, TEditorSettings settings);
  TScriptExporter(const TScriptExporter&) = delete;
  TScriptExporter& operator=(const TScriptExporter&) = delete;

  // The script editor as the main window configures it, holding the script
  // file (8-bit text) `input`. Raises EFOpenError when it cannot be read.
  std::unique_ptr<TPlusMemoU> LoadScript(const std::string& input) const;
  // The RTF of the script in `memo`, as the main window's exporter writes it.
  void WriteRtf(TPlusMemoU& memo, TStream& out) const;
  // Script file to RTF file; the output is wholly written or not at all.
  void ExportFile(const std::string& input, const std::string& output) const;

  const THighlighterChain& Chain() const { return *chain_; }

 private:
  std::unique_ptr<THighlighterChain> chain_;
  TEditorSettings settings_;
};

}  // namespace qm
