// The restart that gives the heap huge pages, planned from the environment and carried out with exec.
#include "platform/HugePageHeap.h"

#include <gnu/libc-version.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string_view>

namespace qm {

namespace {

constexpr std::string_view kSetting = "glibc.malloc.hugetlb=";

// Whether the version "major.minor…" is 2.35 or later.
bool KnowsTheSetting(const std::string& version) {
  int major = 0;
  int minor = 0;
  if (std::sscanf(version.c_str(), "%d.%d", &major, &minor) != 2) return false;
  return major > 2 || (major == 2 && minor >= 35);
}

std::string ReadSmallFile(const char* path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

THugePagePlan PlanHugePageHeap(const char* tunables, const char* marker, const char* switchValue,
                               const std::string& thpMode, const std::string& glibcVersion) {
  THugePagePlan plan;
  if (marker != nullptr) {
    plan.RestoreTunables = marker;
    return plan;
  }
  if (switchValue != nullptr && std::string_view(switchValue) == "off") return plan;
  if (thpMode.find("[madvise]") == std::string::npos || !KnowsTheSetting(glibcVersion)) return plan;
  const std::string old = tunables != nullptr ? tunables : "";
  // The user's own choice of the setting stands.
  if (old.find(kSetting) != std::string::npos) return plan;
  plan.RestartTunables = (old.empty() ? "" : old + ":") + std::string(kSetting) + "1";
  plan.Marker = old;
  return plan;
}

namespace {

// GLIBC_TUNABLES as it was before the restart (unset when empty), and no marker.
void PutBackEnvironment(const std::string& tunables) {
  if (tunables.empty())
    unsetenv("GLIBC_TUNABLES");
  else
    setenv("GLIBC_TUNABLES", tunables.c_str(), 1);
  unsetenv(kHugePageMarker);
}

}  // namespace

void UseHugePageHeap(char** argv) {
  const THugePagePlan plan =
      PlanHugePageHeap(std::getenv("GLIBC_TUNABLES"), std::getenv(kHugePageMarker), std::getenv("QM_HUGE_PAGES"),
                       ReadSmallFile("/sys/kernel/mm/transparent_hugepage/enabled"), gnu_get_libc_version());
  if (plan.RestoreTunables) {
    PutBackEnvironment(*plan.RestoreTunables);
    return;
  }
  if (!plan.RestartTunables) return;
  setenv("GLIBC_TUNABLES", plan.RestartTunables->c_str(), 1);
  setenv(kHugePageMarker, plan.Marker.c_str(), 1);
  execv("/proc/self/exe", argv);
  // The restart failed: go on as we are, with the environment as it was.
  PutBackEnvironment(plan.Marker);
}

}  // namespace qm
