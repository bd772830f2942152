// The code page by a table of its 256 bytes; UTF-8 through iconv. Invalid input never stops a conversion.
#include "platform/CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
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
  void Run(const char* in, size_t inSize, Out& out, const char* replacement, size_t replacementSize, size_t skip) {
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

Converter& Utf8ToWideConverter() {
  thread_local Converter c("UTF-16LE", "UTF-8");
  return c;
}
Converter& WideToUtf8Converter() {
  thread_local Converter c("UTF-8", "UTF-16LE");
  return c;
}

const char16_t kQuestion16 = u'?';

// The units of bytes 0x80 to 0xFF; below them the code page is ASCII.
constexpr char16_t kHighUnits[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

constexpr std::array<char16_t, 256> MakeAnsiUnits() {
  std::array<char16_t, 256> units{};
  for (int b = 0; b < 0x80; ++b) units[static_cast<size_t>(b)] = static_cast<char16_t>(b);
  for (int b = 0x80; b < 0x100; ++b) units[static_cast<size_t>(b)] = kHighUnits[b - 0x80];
  return units;
}

constexpr std::array<char16_t, 256> kAnsiUnits = MakeAnsiUnits();

constexpr bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
constexpr bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

// The byte of every UTF-16 unit; '?' where the code page has none. A table of
// all units costs 64 KB once and makes a conversion one look-up a unit.
const std::array<char, 65536>& UnitBytes() {
  static const std::unique_ptr<std::array<char, 65536>> table = [] {
    auto bytes = std::make_unique<std::array<char, 65536>>();
    bytes->fill('?');
    for (int b = 0; b < 256; ++b) (*bytes)[kAnsiUnits[static_cast<size_t>(b)]] = static_cast<char>(b);
    return bytes;
  }();
  return *table;
}

}  // namespace

const std::array<char16_t, 256>& AnsiUnits() { return kAnsiUnits; }

size_t TAnsiDecodingStream::Read(void* buffer, size_t count) {
  const size_t n = std::min(count / 2, size_ - at_);
  const auto& units = kAnsiUnits;
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
  std::u16string out(text.size(), u'\0');
  for (size_t i = 0; i < text.size(); ++i) out[i] = kAnsiUnits[static_cast<unsigned char>(text[i])];
  return out;
}

void AppendAnsi(std::string& out, std::u16string_view text) {
  const auto& bytes = UnitBytes();
  const size_t start = out.size();
  out.resize(start + text.size());
  char* dst = out.data() + start;
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {
      *dst++ = static_cast<char>(c);
      continue;
    }
    // A valid pair is one character the code page cannot hold: one '?'.
    if (IsHighSurrogate(c) && i + 1 < n && IsLowSurrogate(text[i + 1])) ++i;
    *dst++ = bytes[c];
  }
  out.resize(static_cast<size_t>(dst - out.data()));
}

std::string WideToAnsi(std::u16string_view text) {
  std::string out;
  AppendAnsi(out, text);
  return out;
}

std::u16string Utf8ToWide(std::string_view text) {
  std::u16string out;
  Utf8ToWideConverter().Run(text.data(), text.size(), out, reinterpret_cast<const char*>(&kQuestion16), 2, 1);
  return out;
}

std::string WideToUtf8(std::u16string_view text) {
  std::string out;
  WideToUtf8Converter().Run(reinterpret_cast<const char*>(text.data()), text.size() * 2, out, "?", 1, 2);
  return out;
}

}  // namespace qm
