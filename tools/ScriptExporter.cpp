// The main window's script editor and RTF exporter, rebuilt without a window for the command-line exporter.
#include "tools/ScriptExporter.h"

#include "editor/control/StringsViews.h"
#include "export/PlusToFormatU.h"
#include "platform/CodePage.h"
#include "platform/IniFile.h"

namespace qm {

TEditorSettings ReadEditorSettings(const TIniFile& ini) {
  TEditorSettings settings;
  settings.FontName = AnsiToWide(ini.ReadString("Editor", "Font", WideToAnsi(settings.FontName)));
  settings.Background = ini.ReadInteger("Editor", "Background", settings.Background);
  settings.FontSize = ini.ReadInteger("Editor", "FontSize", settings.FontSize);
  // Read when the vocabulary is loaded, as the main window does; the file
  // object only names the file, so it may go before that.
  const std::string path = ini.FileName();
  settings.SyntaxColour = [path](const char* key, TColor templateColour) {
    return TIniFile(path).ReadInteger("Syntax", key, templateColour);
  };
  return settings;
}

TScriptExporter::TScriptExporter(const TStoredConfig& chainConfig, const TXmlDocument& vocabulary,
                                 TEditorSettings settings)
    : chain_(BuildHighlighterChain(chainConfig)), settings_(std::move(settings)) {
  LoadVocabulary(*chain_, ReadVocabularyItems(vocabulary), settings_.SyntaxColour);
}

std::unique_ptr<TPlusMemoU> TScriptExporter::LoadScript(const std::string& input) const {
  auto memo = std::make_unique<TPlusMemoU>();
  memo->WordWrap = false;
  memo->TabStops = 2;
  memo->SetSeparators(TCharSet(u"\t\n\r $%&(),./:;<=>"));
  memo->SetHighlighter(chain_->First());
  memo->LayoutSettings.Font = TFontSpec{settings_.FontName, settings_.FontSize, 0};
  memo->LayoutSettings.AltFont = TFontSpec{u"Courier New", 10, 0};
  memo->PaintSettings.FontColor = clBlack;
  memo->PaintSettings.Color = settings_.Background;
  memo->PaintSettings.HighlightColor = clBlack;
  memo->PaintSettings.HighlightBackgnd = clWhite;
  memo->Lines().LoadFromFile(input);
  return memo;
}

namespace {

// PlusToRTFU1 of the main window.
void ConfigureExporter(TPlusToRTFU& rtf, TPlusMemoU& memo) {
  rtf.DynFormat = true;
  rtf.RTFLeading = -1.0f;
  rtf.SetPlusMemoU(&memo);
}

}  // namespace

void TScriptExporter::WriteRtf(TPlusMemoU& memo, TStream& out) const {
  TPlusToRTFU rtf;
  ConfigureExporter(rtf, memo);
  rtf.SaveToStream(out);
}

void TScriptExporter::ExportFile(const std::string& input, const std::string& output) const {
  const std::unique_ptr<TPlusMemoU> memo = LoadScript(input);
  TPlusToRTFU rtf;
  ConfigureExporter(rtf, *memo);
  rtf.SaveToFile(output);
}

}  // namespace qm
