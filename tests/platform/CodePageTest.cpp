// Windows-1251 conversion: Cyrillic both ways, unmappable characters and invalid input become '?'.
#include <gtest/gtest.h>

#include "platform/CodePage.h"

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
