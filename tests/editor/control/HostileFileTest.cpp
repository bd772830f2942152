// Scripts nobody planned for, through the editor's file route: NUL bytes and every byte value, a single
// line of 10 MB, and a 100 MB script, on a highlighted editor in a window; each loads, edits and saves
// back with nothing lost.
#include <gtest/gtest.h>

#include <string>

#include "HighlightUtil.h"
#include "KeyUtil.h"
#include "TempFolder.h"
#include "TestUtil.h"
#include "editor/control/PlusMemoU.h"
#include "editor/control/StringsViews.h"
#include "editor/highlight/Scan.h"
#include "editor/store/StoreCheck.h"

namespace qm::test {
namespace {

class HostileFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    chain = MainChain();
    ConfigureScriptEditor(memo, *chain);
    memo.LayoutSettings.ClientWidth = 640;
    memo.LayoutSettings.ClientHeight = 480;
    memo.SetHost(&host);
  }
  // Loads bytes as a script file and saves it again; the saved bytes.
  std::string RoundTrip(const std::string& bytes) {
    WriteFile(dir / "in.txt", bytes);
    memo.Lines().LoadFromFile(dir / "in.txt");
    VerifyStore(memo.Paragraphs(), "loaded");
    memo.Lines().SaveToFile(dir / "out.txt");
    return ReadFile(dir / "out.txt");
  }

  TempFolder dir;
  std::unique_ptr<THighlighterChain> chain;
  TFakeHost host;
  TPlusMemoU memo;
};

TEST_F(HostileFiles, NulBytesAndEveryByteValueSurviveALoadAndASave) {
  // Every byte except the line-break bytes, with NULs at both ends and inside a string and a comment.
  std::string bytes(1, '\0');
  for (int b = 0; b < 256; ++b)
    if (b != '\r' && b != '\n') bytes += static_cast<char>(b);
  bytes += std::string("\r\nset x to \"a\0b\" ; c\0d\r\n\0", 25);
  // As the main window configures its script editor: a NUL does not end the text.
  memo.NullReplacement = u' ';
  const std::string saved = RoundTrip(bytes);
  // NULs come back as spaces; every other byte as it was.
  std::string expected = bytes;
  for (char& c : expected)
    if (c == '\0') c = ' ';
  EXPECT_EQ(saved, expected);
  scan::HighlightAll(memo);
  VerifyStore(memo.Paragraphs(), "highlighted");
}

// About a million style runs in one paragraph.
constexpr size_t kLineBytes = 10u << 20;

TEST_F(HostileFiles, ASingleTenMegabyteLineLoadsEditsAndSaves) {
  std::string line;
  line.reserve(kLineBytes);
  while (line.size() < (kLineBytes)) line += "set value to GetPos x ; \"quoted\" 12.5 ";
  EXPECT_EQ(RoundTrip(line), line);
  // The caret goes to the far end, a character is typed there and the line is whole afterwards.
  memo.SetSelStart(memo.TextLength());
  memo.ScrollInView();
  memo.KeyPress(u'Z');
  memo.LayOutAllLines();
  VerifyStore(memo.Paragraphs(), "typed");
  memo.Lines().SaveToFile(dir / "out.txt");
  EXPECT_EQ(ReadFile(dir / "out.txt"), line + "Z");
}

#if !defined(__SANITIZE_ADDRESS__)
// Too slow under the sanitizers; the normal build carries it.
TEST_F(HostileFiles, AHundredMegabyteScriptLoadsHighlightsAndSavesWhole) {
  std::string bytes;
  bytes.reserve(101u << 20);
  for (int i = 0; bytes.size() < (100u << 20); ++i)
    bytes += "  set counter" + std::to_string(i % 97) + " to GetPos x + 1 ; step " + std::to_string(i) + "\r\n";
  EXPECT_EQ(RoundTrip(bytes), bytes);
  memo.SetSelStart(memo.TextLength() / 2);
  memo.ScrollInView();
  memo.KeyPress(u'q');
  EXPECT_EQ(memo.TextLength(), static_cast<int32_t>(bytes.size()) + 1);
}
#endif

}  // namespace
}  // namespace qm::test
