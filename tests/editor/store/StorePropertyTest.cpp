// Property test: random loads and replacements against a plain string model, with navigators and the invariant check.
#include <gtest/gtest.h>

#include <random>

#include "TestUtil.h"
#include "editor/store/StoreCheck.h"

namespace qm {
namespace {

// The text as the store reports it: every break loaded from a file is CR LF.
std::u16string NormaliseLoaded(std::u16string_view in) {
  std::u16string out;
  for (size_t i = 0; i < in.size(); ++i) {
    const char16_t c = in[i];
    if (c != u'\r' && c != u'\n') {
      out.push_back(c);
      continue;
    }
    const char16_t other = c == u'\r' ? u'\n' : u'\r';
    if (i + 1 < in.size() && in[i + 1] == other) ++i;
    out += u"\r\n";
  }
  return out;
}

// Inserted text: CR and CR LF are breaks, a lone LF is a character.
std::u16string NormaliseInserted(std::u16string_view in) {
  std::u16string out;
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] != u'\r') {
      out.push_back(in[i]);
      continue;
    }
    if (i + 1 < in.size() && in[i + 1] == u'\n') ++i;
    out += u"\r\n";
  }
  return out;
}

std::vector<std::u16string> SplitParagraphs(const std::u16string& text) {
  std::vector<std::u16string> out(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r') {
      out.emplace_back();
      ++i;  // the LF of the break
    } else {
      out.back().push_back(text[i]);
    }
  }
  return out;
}

class Random {
 public:
  explicit Random(uint32_t seed) : rng_(seed) {}
  int Below(int n) { return n <= 0 ? 0 : static_cast<int>(rng_() % static_cast<uint32_t>(n)); }
  bool Chance(int percent) { return Below(100) < percent; }

  std::u16string Text(int maxLength, bool lineFeedsAreBreaks) {
    static const char16_t kAlphabet[] = u"ab xyЯ\t;";
    std::u16string out;
    const int n = Below(maxLength + 1);
    for (int i = 0; i < n; ++i) {
      const int pick = Below(20);
      if (pick == 0) {
        out += u"\r\n";
      } else if (pick == 1) {
        out += u'\r';
      } else if (pick == 2) {
        out += u'\n';
      } else if (pick == 3 && lineFeedsAreBreaks) {
        out += u"\n\r";
      } else if (pick == 4 && Chance(10)) {
        out.append(static_cast<size_t>(Below(300)), u'z');  // a long run
      } else {
        out += kAlphabet[Below(8)];
      }
    }
    if (Chance(1)) out.append(65536 + static_cast<size_t>(Below(10)), u'L');  // over the compact limit
    return out;
  }

 private:
  std::mt19937 rng_;
};

struct TrackedNavigator {
  std::unique_ptr<TPlusNavigatorU> nav;
  int32_t expected;
};

char16_t ModelChar(const std::u16string& model, int32_t pos) {
  return pos < static_cast<int32_t>(model.size()) ? model[static_cast<size_t>(pos)] : u'\r';
}

void CheckAgainstModel(TPlusMemoU& memo, const std::u16string& model, std::vector<TrackedNavigator>& navs,
                       const std::string& where) {
  ASSERT_EQ(memo.Text(), model) << where;
  ASSERT_EQ(memo.TextLength(), static_cast<int32_t>(model.size())) << where;
  const auto paragraphs = SplitParagraphs(model);
  const TParagraphsList& list = memo.Paragraphs();
  ASSERT_EQ(list.Count, static_cast<int>(paragraphs.size())) << where;
  int32_t offset = 0;
  for (int i = 0; i < list.Count; ++i) {
    ASSERT_EQ(list.StartOffset(i), offset) << where << " paragraph " << i;
    ASSERT_EQ(list.TextView(i), paragraphs[static_cast<size_t>(i)]) << where << " paragraph " << i;
    offset += list.Length(i) + 2;
  }
  for (TrackedNavigator& t : navs) {
    ASSERT_EQ(t.nav->Pos(), t.expected) << where;
    ASSERT_EQ(t.nav->CharAt(), ModelChar(model, t.expected)) << where << " navigator at " << t.expected;
    ASSERT_EQ(t.nav->ParNumber(), list.ParagraphOfPosition(t.expected)) << where;
  }
  VerifyStore(list, where);
}

void RunSequence(uint32_t seed, int steps) {
  Random rnd(seed);
  TPlusMemoU memo;
  const std::u16string loaded = rnd.Text(rnd.Chance(10) ? 0 : 120, true);
  test::LoadText(memo, loaded);
  std::u16string model = NormaliseLoaded(loaded);
  std::vector<TrackedNavigator> navs;
  for (int i = 0; i < 6; ++i) {
    navs.push_back({std::make_unique<TPlusNavigatorU>(&memo), 0});
    navs.back().expected = rnd.Below(static_cast<int>(model.size()) + 1);
    // Never between the two characters of a break, so each one has a character to stay on.
    if (navs.back().expected > 0 && model[static_cast<size_t>(navs.back().expected) - 1] == u'\r')
      --navs.back().expected;
    navs.back().nav->SetPos(navs.back().expected);
    if (rnd.Chance(50)) navs.back().nav->CharAt();  // some with resolved caches, some lazy
  }
  const std::string tag = "seed " + std::to_string(seed);
  CheckAgainstModel(memo, model, navs, tag + " after load");

  for (int step = 0; step < steps; ++step) {
    const int32_t length = static_cast<int32_t>(model.size());
    int32_t start = rnd.Below(length + 1);
    int32_t stop = rnd.Chance(40) ? start : std::min(length, start + rnd.Below(rnd.Chance(10) ? length + 1 : 12));
    // Now and then a pasted block of many lines.
    const std::u16string insert = rnd.Text(rnd.Chance(30) ? 0 : rnd.Chance(5) ? 400 : 16, false);
    memo.ReplaceRange(start, stop, insert);

    // The model of the same edit: a range end inside a CR LF takes the break.
    if (start > 0 && model[static_cast<size_t>(start) - 1] == u'\r') --start;
    if (stop > 0 && model[static_cast<size_t>(stop) - 1] == u'\r') ++stop;
    const std::u16string added = NormaliseInserted(insert);
    model.replace(static_cast<size_t>(start), static_cast<size_t>(stop - start), added);
    const int32_t delta = static_cast<int32_t>(added.size()) - (stop - start);
    for (TrackedNavigator& t : navs) {
      if (t.expected > stop)
        t.expected += delta;
      else if (t.expected >= start)
        t.expected = start;
    }
    // Now and then, wrap a paragraph into several display lines.
    if (rnd.Chance(10)) {
      const int par = rnd.Below(memo.ParagraphCount());
      const int32_t len = memo.Paragraphs().Length(par);
      std::vector<TLineInfo> lines;
      int32_t at = 0;
      do {
        const int32_t stopAt = std::min(len, at + 1 + rnd.Below(20));
        lines.push_back(TLineInfo{at, stopAt});
        at = stopAt;
      } while (at < len);
      memo.Paragraphs().SetDisplayLines(par, lines);
    }
    CheckAgainstModel(memo, model, navs, tag + " step " + std::to_string(step));
    if (::testing::Test::HasFatalFailure()) return;
  }
}

TEST(StoreProperty, RandomReplacementsMatchStringModel) {
  for (uint32_t seed = 1; seed <= 2000; ++seed) {
    RunSequence(seed, 50);
    if (HasFatalFailure()) return;
  }
}

// Long sequences reach states that short ones never build: long texts, many
// wrapped paragraphs, navigators moved by hundreds of edits.
TEST(StoreProperty, LongSequencesMatchStringModel) {
  for (uint32_t seed = 100001; seed <= 100200; ++seed) {
    RunSequence(seed, 1000);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace qm
