// Line output of the exporters: a list of lines, or blocked stream writes.
#include "export/FormattedOutput.h"

namespace qm {

void TFormattedOutput::WriteLine(std::string_view line) {
  if (lines_ != nullptr) {
    lines_->emplace_back(line);
    return;
  }
  block_ += line;
  block_ += "\r\n";
  if (block_.size() >= kBlockSize) {
    stream_->Write(block_.data(), block_.size());
    block_.clear();
  }
}

void TFormattedOutput::Finish() {
  if (stream_ != nullptr && !block_.empty()) stream_->Write(block_.data(), block_.size());
  block_.clear();
}

}  // namespace qm
