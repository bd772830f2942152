// Conversion between UTF-16 text and the program's 8-bit code page (Windows-1251).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Stream.h"

namespace qm {

// 8-bit text in the system code page to UTF-16. Every byte has a unit of its
// own; the one byte Windows-1251 leaves undefined, 0x98, becomes U+0098, as
// the platform's own conversion gives it, so that any bytes survive a round
// trip through UTF-16.
std::u16string AnsiToWide(std::string_view text);

// UTF-16 text to the system code page. A character the code page cannot hold
// (or a lone surrogate) becomes '?'; a surrogate pair becomes one '?'.
std::string WideToAnsi(std::u16string_view text);

// Appends text converted as WideToAnsi converts it to out.
void AppendAnsi(std::string& out, std::u16string_view text);

// UTF-8 (used for messages and file names) to and from UTF-16.
std::u16string Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::u16string_view text);

// The UTF-16 unit of every byte of the system code page.
const std::array<char16_t, 256>& AnsiUnits();

// 8-bit text in the system code page read as a UTF-16 stream, converted as it
// is read: a load takes it in without a converted copy of the whole text.
class TAnsiDecodingStream : public TStream {
 public:
  TAnsiDecodingStream(const char* data, size_t size) : data_(data), size_(size) {}
  // Reads whole units only: count div 2 bytes of the text.
  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  int64_t Size() const override { return static_cast<int64_t>(size_) * 2; }
  int64_t Position() const override { return static_cast<int64_t>(at_) * 2; }
  void SetPosition(int64_t position) override;

 private:
  const char* data_;
  size_t size_;
  size_t at_ = 0;  // bytes of the text read
};

}  // namespace qm
