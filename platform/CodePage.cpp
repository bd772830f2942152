// iconv-based code page conversion; invalid input never stops a conversion.
#include "platform/CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "platform/Exceptions.h"

namespace qm {
namespace {

// One iconv descriptor per direction and thread: opening one costs far more
// than a short conversion, and descriptors carry state so they are not shared.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw Exception(std::string("Code page conversion is not available: ") + from + " to " + to);
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts in to out (a string of 8- or 16-bit units). On input iconv
  // rejects, writes `replacement` and skips `skip` bytes (or the width of a
  // whole surrogate pair).
  template <typename Out>
  void Run(const char* in, size_t inSize, Out& out, const char* replacement, size_t replacementSize,
           size_t skip) {
    constexpr size_t unit = sizeof(typename Out::value_type);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    out.resize((inSize * 2 + 16) / unit);
    char* src = const_cast<char*>(in);
    size_t srcLeft = inSize;
    size_t used = 0;  // bytes written
    auto bytes = [&] { return out.size() * unit; };
    auto base = [&] { return reinterpret_cast<char*>(out.data()); };
    while (srcLeft > 0) {
      char* dst = base() + used;
      size_t dstLeft = bytes() - used;
      const size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      used = bytes() - dstLeft;
      if (rc != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      // EILSEQ or EINVAL (a truncated sequence at the end): replace and skip.
      if (bytes() - used < replacementSize) out.resize(out.size() * 2);
      std::memcpy(base() + used, replacement, replacementSize);
      used += replacementSize;
      size_t step = skip;
      if (skip == 2 && srcLeft >= 4) {
        // A valid surrogate pair the target cannot hold is one character.
        char16_t hi;
        char16_t lo;
        std::memcpy(&hi, src, 2);
        std::memcpy(&lo, src + 2, 2);
        if (hi >= 0xD800 && hi < 0xDC00 && lo >= 0xDC00 && lo < 0xE000) step = 4;
      }
      step = std::min(step, srcLeft);
      src += step;
      srcLeft -= step;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used / unit);
  }

 private:
  iconv_t cd_;
};

Converter& AnsiToWideConverter() {
  thread_local Converter c("UTF-16LE", kSystemCodePage);
  return c;
}
Converter& WideToAnsiConverter() {
  thread_local Converter c(kSystemCodePage, "UTF-16LE");
  return c;
}
Converter& Utf8ToWideConverter() {
  thread_local Converter c("UTF-16LE", "UTF-8");
  return c;
}
Converter& WideToUtf8Converter() {
  thread_local Converter c("UTF-8", "UTF-16LE");
  return c;
}

const char16_t kQuestion16 = u'?';

}  // namespace

const std::array<char16_t, 256>& AnsiUnits() {
  static const std::array<char16_t, 256> units = [] {
    std::array<char16_t, 256> table{};
    std::string all(256, '\0');
    for (int b = 0; b < 256; ++b) all[static_cast<size_t>(b)] = static_cast<char>(b);
    // Byte by byte, so that an undefined byte gives exactly one '?'.
    for (int b = 0; b < 256; ++b) {
      const std::u16string one = AnsiToWide(std::string_view(all).substr(static_cast<size_t>(b), 1));
      table[static_cast<size_t>(b)] = one.size() == 1 ? one[0] : u'?';
    }
    return table;
  }();
  return units;
}

size_t TAnsiDecodingStream::Read(void* buffer, size_t count) {
  const size_t n = std::min(count / 2, size_ - at_);
  const auto& units = AnsiUnits();
  auto* out = static_cast<char16_t*>(buffer);
  const auto* in = reinterpret_cast<const unsigned char*>(data_ + at_);
  for (size_t i = 0; i < n; ++i) out[i] = units[in[i]];
  at_ += n;
  return n * 2;
}

void TAnsiDecodingStream::Write(const void*, size_t) { throw EStreamError("Stream write error"); }

void TAnsiDecodingStream::SetPosition(int64_t position) {
  at_ = static_cast<size_t>(std::clamp<int64_t>(position / 2, 0, static_cast<int64_t>(size_)));
}

std::u16string AnsiToWide(std::string_view text) {
  std::u16string out;
  AnsiToWideConverter().Run(text.data(), text.size(), out,
                            reinterpret_cast<const char*>(&kQuestion16), 2, 1);
  return out;
}

std::string WideToAnsi(std::u16string_view text) {
  std::string out;
  WideToAnsiConverter().Run(reinterpret_cast<const char*>(text.data()), text.size() * 2, out, "?",
                            1, 2);
  return out;
}

std::u16string Utf8ToWide(std::string_view text) {
  std::u16string out;
  Utf8ToWideConverter().Run(text.data(), text.size(), out,
                            reinterpret_cast<const char*>(&kQuestion16), 2, 1);
  return out;
}

std::string WideToUtf8(std::u16string_view text) {
  std::string out;
  WideToUtf8Converter().Run(reinterpret_cast<const char*>(text.data()), text.size() * 2, out, "?",
                            1, 2);
  return out;
}

}  // namespace qm
