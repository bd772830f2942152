// Where an export writes its lines: a list of 8-bit lines, or a stream with CR LF after each line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Stream.h"

namespace qm {

// Lines arrive in the system code page. Stream output is gathered into
// blocks, so that a file gets a few large writes instead of one per line,
// without ever holding the whole document.
class TFormattedOutput {
 public:
  explicit TFormattedOutput(std::vector<std::string>& lines) : lines_(&lines) {}
  explicit TFormattedOutput(TStream& stream) : stream_(&stream) {}
  TFormattedOutput(const TFormattedOutput&) = delete;
  TFormattedOutput& operator=(const TFormattedOutput&) = delete;

  void WriteLine(std::string_view line);
  // Writes what is still gathered; call once at the end.
  void Finish();

 private:
  static constexpr size_t kBlockSize = 1 << 16;

  std::vector<std::string>* lines_ = nullptr;
  TStream* stream_ = nullptr;
  std::string block_;
};

}  // namespace qm
