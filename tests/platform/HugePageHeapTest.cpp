// The restart that gives the heap huge pages: when it is planned, and what the restarted program sees.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/HugePageHeap.h"

namespace qm {
namespace {

TEST(HugePageHeap, PlansARestartOnlyWhereItHelps) {
  const std::string madvise = "always [madvise] never\n";
  struct Case {
    const char* tunables;
    const char* marker;
    const char* switchValue;
    std::string thp;
    std::string glibc;
    const char* restartWith;  // null: no restart
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, madvise, "2.36", "glibc.malloc.hugetlb=1"},
      {"glibc.malloc.arena_max=2", nullptr, nullptr, madvise, "2.36",
       "glibc.malloc.arena_max=2:glibc.malloc.hugetlb=1"},
      {"glibc.malloc.hugetlb=0", nullptr, nullptr, madvise, "2.36", nullptr},  // the user's own choice
      {nullptr, nullptr, "off", madvise, "2.36", nullptr},
      {nullptr, nullptr, "on", madvise, "2.40", "glibc.malloc.hugetlb=1"},
      {nullptr, nullptr, nullptr, "[always] madvise never\n", "2.36", nullptr},  // the kernel gives them anyway
      {nullptr, nullptr, nullptr, "always madvise [never]\n", "2.36", nullptr},
      {nullptr, nullptr, nullptr, "", "2.36", nullptr},       // no such file
      {nullptr, nullptr, nullptr, madvise, "2.34", nullptr},  // the setting is unknown there
      {nullptr, nullptr, nullptr, madvise, "3.0", "glibc.malloc.hugetlb=1"},
      {nullptr, nullptr, nullptr, madvise, "unknown", nullptr},
  };
  for (const Case& c : cases) {
    const THugePagePlan plan = PlanHugePageHeap(c.tunables, c.marker, c.switchValue, c.thp, c.glibc);
    const std::string name = std::string(c.tunables ? c.tunables : "-") + " " + c.thp + " " + c.glibc;
    EXPECT_FALSE(plan.RestoreTunables) << name;
    if (c.restartWith == nullptr) {
      EXPECT_FALSE(plan.RestartTunables) << name;
      continue;
    }
    ASSERT_TRUE(plan.RestartTunables) << name;
    EXPECT_EQ(*plan.RestartTunables, c.restartWith) << name;
    EXPECT_EQ(plan.Marker, c.tunables ? c.tunables : "") << name;
  }
}

TEST(HugePageHeap, AfterARestartTheOldEnvironmentComesBack) {
  // The marker wins over everything else: a restarted program never restarts again.
  const THugePagePlan plan =
      PlanHugePageHeap("glibc.malloc.hugetlb=1", "glibc.malloc.arena_max=2", nullptr, "[madvise]", "2.36");
  EXPECT_FALSE(plan.RestartTunables);
  ASSERT_TRUE(plan.RestoreTunables);
  EXPECT_EQ(*plan.RestoreTunables, "glibc.malloc.arena_max=2");
}

std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  pclose(pipe);
  return out;
}

long HugeKb(const std::string& report) {
  const size_t at = report.find("huge=");
  return at == std::string::npos ? -1 : std::stol(report.substr(at + 5));
}

// The real restart, in a program of its own.
TEST(HugePageHeap, TheRestartedProgramHasHugePagesAndTheOldEnvironment) {
  std::ifstream thp("/sys/kernel/mm/transparent_hugepage/enabled");
  const std::string mode((std::istreambuf_iterator<char>(thp)), std::istreambuf_iterator<char>());
  if (mode.find("[madvise]") == std::string::npos) GTEST_SKIP() << "huge pages are not given on request here";
  const std::string probe = QM_HUGE_PAGE_PROBE;
#if defined(__SANITIZE_ADDRESS__)
  constexpr bool kOwnAllocator = true;  // the sanitizer's allocator ignores the C library's settings
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  constexpr bool kOwnAllocator = true;
#else
  constexpr bool kOwnAllocator = false;
#endif
#else
  constexpr bool kOwnAllocator = false;
#endif

  const std::string on = Output("env -u GLIBC_TUNABLES -u QM_HUGE_PAGES " + probe);
  if (!kOwnAllocator) {
    EXPECT_GT(HugeKb(on), 0) << on;
  }
  EXPECT_NE(on.find("tunables=(unset)"), std::string::npos) << on;
  EXPECT_NE(on.find("marker=(unset)"), std::string::npos) << on;

  const std::string kept = Output("env -u QM_HUGE_PAGES GLIBC_TUNABLES=glibc.malloc.arena_max=4 " + probe);
  if (!kOwnAllocator) {
    EXPECT_GT(HugeKb(kept), 0) << kept;
  }
  EXPECT_NE(kept.find("tunables=glibc.malloc.arena_max=4\n"), std::string::npos) << kept;

  const std::string off = Output("env -u GLIBC_TUNABLES QM_HUGE_PAGES=off " + probe);
  EXPECT_EQ(HugeKb(off), 0) << off;
}

}  // namespace
}  // namespace qm
