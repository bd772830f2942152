// Windows-1251 conversion: Cyrillic both ways, unmappable characters and invalid input become '?'.
#include <gtest/gtest.h>

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

TEST(CodePage, AllDefinedBytesRoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b)
    if (b != 0x98) all.push_back(static_cast<char>(b));  // 0x98 is undefined in Windows-1251
  EXPECT_EQ(WideToAnsi(AnsiToWide(all)), all);
}

TEST(CodePage, UnmappableBecomeQuestionMarks) {
  struct Case {
    std::u16string wide;
    std::string ansi;
  };
  const Case cases[] = {
      {u"a\u4e2db", "a?b"},             // a character the code page lacks
      {u"x\U0001F600y", "x?y"},         // a surrogate pair is one character
      {std::u16string(u"p\xD800q"), "p?q"},  // a lone surrogate
      {u"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(WideToAnsi(c.wide), c.ansi);
  EXPECT_EQ(AnsiToWide("a\x98" "b"), u"a?b");
}

TEST(CodePage, NulBytesAreKept) {
  const std::string ansi("a\0b", 3);
  EXPECT_EQ(AnsiToWide(ansi), std::u16string(u"a\0b", 3));
  EXPECT_EQ(WideToAnsi(std::u16string(u"a\0b", 3)), ansi);
}

TEST(CodePage, Utf8RoundTripAndInvalidInput) {
  EXPECT_EQ(WideToUtf8(Utf8ToWide("Версия 1.2")), "Версия 1.2");
  EXPECT_EQ(Utf8ToWide("a\xff" "b"), u"a?b");
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
  for (size_t n; (n = stream.Read(buffer, sizeof buffer - 1)) > 0;) got.append(buffer, n / 2);  // odd counts read whole units
  EXPECT_EQ(got, expected);
  stream.SetPosition(2 * 0xC0);
  ASSERT_EQ(stream.Read(buffer, 2), 2u);
  EXPECT_EQ(buffer[0], u'А');
  EXPECT_THROW(stream.Write("x", 1), EStreamError);
}

}  // namespace
}  // namespace qm
