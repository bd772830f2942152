// Windows-1251 conversion: every byte survives both ways, characters the code page lacks become '?',
// and every other unit converts as the C library's own Windows-1251 converter does.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "platform/CodePage.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

TEST(CodePage, CyrillicRoundTrip) {
  const std::string ansi = "\xcf\xf0\xe8\xe2\xe5\xf2, \xa8\xb8!";  // "Привет, Ёё!"
  const std::u16string wide = AnsiToWide(ansi);
  EXPECT_EQ(wide, u"Привет, Ёё!");
  EXPECT_EQ(WideToAnsi(wide), ansi);
}

TEST(CodePage, EveryByteRoundTripsWithAUnitOfItsOwn) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::u16string wide = AnsiToWide(all);
  ASSERT_EQ(wide.size(), 256u);
  for (int a = 0; a < 256; ++a)
    for (int b = a + 1; b < 256; ++b) ASSERT_NE(wide[size_t(a)], wide[size_t(b)]) << a << " " << b;
  // The byte Windows-1251 leaves undefined has the unit the platform gives it.
  EXPECT_EQ(wide[0x98], u'\u0098');
  EXPECT_EQ(WideToAnsi(wide), all);
}

// The C library's Windows-1251 converter, one unit at a time; "" where it has no byte.
std::string IconvByte(iconv_t cd, char16_t unit) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  char out[4];
  char* src = in;
  char* dst = out;
  size_t srcLeft = 2;
  size_t dstLeft = sizeof out;
  const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  return rc == static_cast<size_t>(-1) ? "" : std::string(out, dst);
}

TEST(CodePage, EveryUnitConvertsAsTheLibraryConverterDoes) {
  iconv_t cd = iconv_open("CP1251", "UTF-16LE");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  for (uint32_t u = 0; u < 0x10000; ++u) {
    if (u >= 0xD800 && u < 0xE000) continue;
    const char16_t unit = static_cast<char16_t>(u);
    std::string expected = IconvByte(cd, unit);
    if (u == 0x98) expected = "\x98";  // the library has no byte for it; the platform keeps it
    if (expected.empty()) expected = "?";
    ASSERT_EQ(WideToAnsi(std::u16string(1, unit)), expected) << std::hex << u;
    if (expected != "?" || u == '?') {
      ASSERT_EQ(AnsiToWide(expected), std::u16string(1, unit)) << std::hex << u;
    }
  }
  iconv_close(cd);
}

TEST(CodePage, AppendingAddsToWhatIsThere) {
  std::string out = "x";
  AppendAnsi(out, u"Привет\xD83D\xDE00!");
  EXPECT_EQ(out, "x\xcf\xf0\xe8\xe2\xe5\xf2?!");
}

TEST(CodePage, UnmappableBecomeQuestionMarks) {
  struct Case {
    std::u16string wide;
    std::string ansi;
  };
  const Case cases[] = {
      {u"a\u4e2db", "a?b"},                         // a character the code page lacks
      {u"x\U0001F600y", "x?y"},                     // a surrogate pair is one character
      {std::u16string(u"p\xD800q"), "p?q"},         // a lone surrogate
      {std::u16string(u"p\xDE00\xD83Dq"), "p??q"},  // low before high: two lone units
      {std::u16string(u"p\xD83D"), "p?"},           // a high surrogate at the end
      {u"\u0080\u0081", "??"},                      // C1 controls other than U+0098 have no byte
      {u"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(WideToAnsi(c.wide), c.ansi);
}

TEST(CodePage, NulBytesAreKept) {
  const std::string ansi("a\0b", 3);
  EXPECT_EQ(AnsiToWide(ansi), std::u16string(u"a\0b", 3));
  EXPECT_EQ(WideToAnsi(std::u16string(u"a\0b", 3)), ansi);
}

TEST(CodePage, Utf8RoundTripAndInvalidInput) {
  EXPECT_EQ(WideToUtf8(Utf8ToWide("Версия 1.2")), "Версия 1.2");
  EXPECT_EQ(Utf8ToWide("a\xff"
                       "b"),
            u"a?b");
}

}  // namespace
}  // namespace qm

namespace qm {
namespace {

TEST(CodePage, DecodingStreamReadsWhatAnsiToWideGives) {
  std::string all;
  for (int round = 0; round < 3; ++round)
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::u16string expected = AnsiToWide(all);
  TAnsiDecodingStream stream(all.data(), all.size());
  EXPECT_EQ(stream.Size(), static_cast<int64_t>(expected.size() * 2));
  std::u16string got;
  char16_t buffer[100];
  for (size_t n; (n = stream.Read(buffer, sizeof buffer - 1)) > 0;)
    got.append(buffer, n / 2);  // odd counts read whole units
  EXPECT_EQ(got, expected);
  stream.SetPosition(2 * 0xC0);
  ASSERT_EQ(stream.Read(buffer, 2), 2u);
  EXPECT_EQ(buffer[0], u'А');
  EXPECT_THROW(stream.Write("x", 1), EStreamError);
}

}  // namespace
}  // namespace qm
