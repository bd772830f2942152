// TPlusToFormattedTextU, the base of exporters of an editor's formatted text, and TPlusToRTFU, the RTF writer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/control/PlusMemoU.h"
#include "editor/store/Component.h"
#include "editor/store/Navigator.h"
#include "export/RtfColors.h"
#include "platform/Stream.h"

namespace qm {

// The clipboard format name of TPlusToRTFU.
inline constexpr const char* kRtfClipboardFormat = "Rich Text Format";

// An exporter linked to one editor. Its fonts, colours and alignment come
// from the editor (LayoutSettings, PaintSettings), its text and style runs
// from the editor's paragraphs.
class TPlusToFormattedTextU : public TComponent {
 public:
  TPlusToFormattedTextU() = default;

  // Reproduce the highlighting (the style runs); when false only the
  // editor's fonts and the static format codes count.
  bool DynFormat = true;
  // The editor exported; nullptr: nothing can be exported. Cleared when the
  // editor is destroyed.
  TPlusMemoU* PlusMemoU() const { return memo_; }
  void SetPlusMemoU(TPlusMemoU* memo);
  // Called during an export at most once per the editor's ProgressInterval
  // milliseconds, and once at its end.
  TNotifyEvent OnProgress;

  // The clipboard format of the output: 1, 8-bit text.
  virtual uint32_t ClipboardFormat();
  // The export core: the formatted text from start to stop (navigators on
  // the linked editor), added to `lines` one line each when lines is given,
  // else written into `stream` at its position, each line ended by CR LF.
  virtual void ExportRange(TPlusNavigatorU& start, TPlusNavigatorU& stop, std::vector<std::string>* lines,
                           TStream* stream) = 0;
  // The selection exported, its lines joined with CR LF after each, with a
  // final NUL, put on the editor's clipboard in ClipboardFormat. Nothing
  // without an editor or a selection.
  virtual void CopyToClipboard();

  // Exports the whole text into the file, which is wholly replaced or left
  // as it was: a file that cannot be created raises EFCreateError, a write
  // that fails raises EStreamError, and neither leaves a partial file. Does
  // nothing (no file is made) without an editor. fileName is UTF-8.
  void SaveToFile(const std::string& fileName);
  void SaveToFile(std::u16string_view fileName);
  // Exports the whole text into the stream at its position.
  void SaveToStream(TStream& stream);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TPlusMemoU* memo_ = nullptr;
};

// Writes the editor's text as RTF: a header, the colour table, then one line
// per paragraph, reproducing fonts, colours and highlighting.
class TPlusToRTFU : public TPlusToFormattedTextU {
 public:
  // Line spacing: > 0 inches; 0 no spacing control; < 0 a multiple of
  // single spacing (-1 single, -1.5 one and a half lines).
  float RTFLeading = -1.0f;
  // The RGB value of a system colour; empty: DefaultSystemColorRGB.
  TSystemColorFn ResolveSystemColor;

  // "Rich Text Format", registered on first use.
  uint32_t ClipboardFormat() override;
  void ExportRange(TPlusNavigatorU& start, TPlusNavigatorU& stop, std::vector<std::string>* lines,
                   TStream* stream) override;

 private:
  uint32_t clipboardFormat_ = 0;
};

}  // namespace qm
