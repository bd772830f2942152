// The run buffer of the passes: random inserts, erases and rewrites against a plain list, stored back whole.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "TestUtil.h"
#include "editor/highlight/RunBuffer.h"
#include "editor/store/StoreCheck.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

// A paragraph with a style of its own to point runs at.
struct Fixture {
  Fixture() {
    test::LoadText(memo, u"first line\r\n" + std::u16string(500, u'x') + u"\r\nlast");
    TDynInfo style;
    style.Kind = dkKeyStyle;
    style.ContextNum = 7;
    for (int i = 0; i < 4; ++i) {
      style.Foreground = i;
      attrs.push_back(memo.Paragraphs().Styles.Intern(style));
    }
  }
  TPlusMemoU memo;
  std::vector<uint32_t> attrs;
};

bool SameRuns(const scan::TRunBuffer& runs, const std::vector<TRunRec>& model) {
  if (runs.Count() != static_cast<int>(model.size())) return false;
  for (int k = 0; k < runs.Count(); ++k)
    if (runs.Offset(k) != model[size_t(k)].Offset || runs.Attr(k) != model[size_t(k)].Attr) return false;
  return true;
}

TEST(RunBufferTest, RandomEditsAgreeWithAPlainListAndStoreBackWhole) {
  for (uint32_t seed = 1; seed <= 50; ++seed) {
    Fixture f;
    TParagraphsList& list = f.memo.Paragraphs();
    std::mt19937 rng(seed);
    scan::TRunBuffer runs;
    runs.Load(list, 1);
    std::vector<TRunRec> model;
    for (int step = 0; step < 400; ++step) {
      const int count = static_cast<int>(model.size());
      const uint32_t kind = rng() % 10;
      if (kind < 6 || count == 0) {
        // Offsets stay ordered: a new run lands between its neighbours.
        const int k = static_cast<int>(rng() % static_cast<uint32_t>(count + 1));
        const int32_t lo = k > 0 ? model[size_t(k - 1)].Offset : 0;
        const int32_t hi = k < count ? model[size_t(k)].Offset : 500;
        const int32_t offset = lo + static_cast<int32_t>(rng() % static_cast<uint32_t>(hi - lo + 1));
        const uint32_t attr = f.attrs[rng() % f.attrs.size()];
        runs.Insert(k, offset, attr);
        model.insert(model.begin() + k, TRunRec{offset, attr});
      } else if (kind < 9) {
        const int k = static_cast<int>(rng() % static_cast<uint32_t>(count));
        const int n = 1 + static_cast<int>(rng() % static_cast<uint32_t>(std::min(count - k, 5)));
        runs.Erase(k, n);
        model.erase(model.begin() + k, model.begin() + k + n);
      } else {
        const int k = static_cast<int>(rng() % static_cast<uint32_t>(count));
        TDynInfo run = list.Styles.Get(f.attrs[0]);
        run.Offset = model[size_t(k)].Offset;
        runs.Set(k, run);
        model[size_t(k)].Attr = f.attrs[0];
      }
      ASSERT_TRUE(SameRuns(runs, model)) << "seed " << seed << " step " << step;
      // The binary search over the gap buffer finds what a scan of the list finds.
      const int32_t x = static_cast<int32_t>(rng() % 502);
      const auto after =
          std::upper_bound(model.begin(), model.end(), x, [](int32_t v, const TRunRec& r) { return v < r.Offset; });
      ASSERT_EQ(runs.FirstRun(x, true), after - model.begin()) << "seed " << seed << " at " << x;
    }
    runs.Store();
    VerifyStore(list, "stored");
    ASSERT_EQ(list.RunCount(1), static_cast<int>(model.size()));
    for (int k = 0; k < list.RunCount(1); ++k) EXPECT_EQ(list.Run(1, k).Offset, model[size_t(k)].Offset);
    scan::TRunBuffer again;
    again.Load(list, 1);
    EXPECT_TRUE(SameRuns(again, model)) << "seed " << seed;
  }
}

TEST(RunBufferTest, IndicesOutsideTheRunsRaiseAndAnUnchangedBufferStoresNothing) {
  Fixture f;
  scan::TRunBuffer runs;
  runs.Load(f.memo.Paragraphs(), 0);
  EXPECT_THROW(runs.Insert(1, 0, f.attrs[0]), ERangeError);
  EXPECT_THROW(runs.Erase(0, 1), ERangeError);
  EXPECT_THROW(runs.Run(0), ERangeError);
  runs.Store();
  EXPECT_EQ(f.memo.Paragraphs().RunCount(0), 0);
  EXPECT_EQ(f.memo.Paragraphs().Extra(0), nullptr) << "storing nothing keeps the compact record";
}

TEST(RunBufferTest, ALeaseInsideAnotherGetsABufferOfItsOwn) {
  scan::TRunBufferLease outer;
  scan::TRunBufferLease inner;
  EXPECT_NE(&*outer, &*inner);
}

}  // namespace
}  // namespace qm
