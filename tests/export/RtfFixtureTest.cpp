// Reference outputs: scripts under tests/fixtures/rtf written as RTF and compared byte for byte with the expected files.
#include <gtest/gtest.h>

#include "RtfTestUtil.h"
#include "editor/control/StringsViews.h"

namespace qm::test {
namespace {

struct Fixture {
  const char* Script;
  const char* Expected;
  float Leading = -1.0f;
  bool DynFormat = true;
};

class RtfFixtureTest : public ::testing::TestWithParam<Fixture> {};

TEST_P(RtfFixtureTest, MatchesExpectedBytes) {
  const Fixture& f = GetParam();
  auto chain = FixtureChain();
  TPlusMemoU memo;
  ConfigureScriptEditor(memo, *chain);
  DressAsScriptEditor(memo);
  LoadAnsi(memo, ReadBytes(FixturePath(f.Script)));
  TPlusToRTFU rtf;
  rtf.SetPlusMemoU(&memo);
  rtf.RTFLeading = f.Leading;
  rtf.DynFormat = f.DynFormat;
  const std::string expected = ReadBytes(FixturePath(f.Expected));
  ASSERT_FALSE(expected.empty()) << f.Expected;
  EXPECT_EQ(RtfOf(rtf), expected);
}

INSTANTIATE_TEST_SUITE_P(Scripts, RtfFixtureTest,
                         ::testing::Values(Fixture{"empty.txt", "empty.rtf"}, Fixture{"one-line.txt", "one-line.rtf"},
                                           Fixture{"three-paragraphs.txt", "three-paragraphs.rtf"},
                                           Fixture{"escapes.txt", "escapes.rtf"},
                                           Fixture{"cyrillic.txt", "cyrillic.rtf"}, Fixture{"spans.txt", "spans.rtf"},
                                           Fixture{"keywords.txt", "keywords.rtf"},
                                           Fixture{"shielded.txt", "shielded.rtf"},
                                           Fixture{"spans.txt", "spans-dynformat-off.rtf", -1.0f, false},
                                           Fixture{"leading.txt", "leading-0.25.rtf", 0.25f},
                                           Fixture{"leading.txt", "leading-minus-1.5.rtf", -1.5f},
                                           Fixture{"leading.txt", "leading-0.rtf", 0.0f}),
                         [](const ::testing::TestParamInfo<Fixture>& info) {
                           std::string name = info.param.Expected;
                           name = name.substr(0, name.find(".rtf"));
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
}  // namespace qm::test
