// TQtClipboard: the engine's clipboard over the Qt application clipboard.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Clipboard.h"

namespace qm {

// Text is Unicode text; our own formats are MIME data "application/x-qm-<name>"
// (characters of the name other than letters, digits, '-' and '.' become '-').
class TQtClipboard : public TClipboard {
 public:
  void SetText(const std::u16string& text) override;
  std::optional<std::u16string> Text() const override;
  void SetFormat(const std::string& name, const std::vector<unsigned char>& data) override;
  std::optional<std::vector<unsigned char>> Format(const std::string& name) const override;

  static std::string MimeType(const std::string& name);
};

// Makes the Qt clipboard the platform clipboard of the engine (once; later calls do nothing).
void UseQtClipboard();

}  // namespace qm
