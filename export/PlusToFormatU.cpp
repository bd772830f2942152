// The exporter base: the link to its editor, saving to files and streams, and the clipboard copy.
#include "export/PlusToFormatU.h"

#include <algorithm>

#include "export/ClipboardFormats.h"
#include "platform/CodePage.h"
#include "platform/FileStream.h"

namespace qm {

void TPlusToFormattedTextU::SetPlusMemoU(TPlusMemoU* memo) {
  if (memo == memo_) return;
  if (memo_ != nullptr) memo_->RemoveFreeNotification(this);
  memo_ = memo;
  if (memo_ != nullptr) memo_->FreeNotification(this);
}

void TPlusToFormattedTextU::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == memo_) memo_ = nullptr;
}

uint32_t TPlusToFormattedTextU::ClipboardFormat() { return cfText; }

void TPlusToFormattedTextU::SaveToStream(TStream& stream) {
  if (memo_ == nullptr) return;
  TPlusNavigatorU start(memo_);
  TPlusNavigatorU stop(memo_);
  start.SetPos(0);
  stop.SetPos(memo_->TextLength());
  ExportRange(start, stop, nullptr, &stream);
}

void TPlusToFormattedTextU::SaveToFile(const std::string& fileName) {
  if (memo_ == nullptr) return;
  // Written beside the target and renamed over it: a failed export never
  // leaves a truncated file in place of a good one.
  SaveFileAtomically(fileName, [this](TStream& stream) { SaveToStream(stream); });
}

void TPlusToFormattedTextU::SaveToFile(std::u16string_view fileName) { SaveToFile(WideToUtf8(fileName)); }

void TPlusToFormattedTextU::CopyToClipboard() {
  if (memo_ == nullptr || memo_->SelLength() == 0) return;
  const int32_t a = memo_->SelStart();
  const int32_t b = a + memo_->SelLength();
  TPlusNavigatorU start(memo_);
  TPlusNavigatorU stop(memo_);
  start.SetPos(std::min(a, b));
  stop.SetPos(std::max(a, b));
  std::vector<std::string> lines;
  ExportRange(start, stop, &lines, nullptr);
  std::string joined;
  for (const std::string& line : lines) joined += line + "\r\n";

  TClipboard& clipboard = memo_->Clipboard != nullptr ? *memo_->Clipboard : PlatformClipboard();
  const uint32_t format = ClipboardFormat();
  if (format == cfText) {
    clipboard.SetText(AnsiToWide(joined));
    return;
  }
  std::vector<unsigned char> block(joined.begin(), joined.end());
  block.push_back(0);
  clipboard.SetFormat(ClipboardFormatName(format), block);
}

uint32_t TPlusToRTFU::ClipboardFormat() {
  if (clipboardFormat_ == 0) clipboardFormat_ = RegisterClipboardFormat(kRtfClipboardFormat);
  return clipboardFormat_;
}

}  // namespace qm
