// Backing the heap with huge pages: a restart of the program with the C library's allocator told to ask for them.
#pragma once

#include <optional>
#include <string>

namespace qm {

// Reading a large script fills hundreds of megabytes of fresh heap memory,
// and with 4 KB pages every page of it costs a fault: on a virtual machine a
// fifth of a large export went to them. The kernel gives huge pages only to
// memory marked for them, and the C library's allocator marks its heap only
// when told so at start (its "glibc.malloc.hugetlb" setting, read from
// GLIBC_TUNABLES before main). So a program that wants it starts itself again,
// once, with the setting added; the restarted program puts the environment
// back as it was, so that programs it starts do not inherit the setting.
// QM_HUGE_PAGES=off turns this off.

// What the program should do at start, from its environment and system.
struct THugePagePlan {
  // Set: restart with these values of GLIBC_TUNABLES and of the marker
  // variable (which carries the old GLIBC_TUNABLES, empty when it was unset).
  std::optional<std::string> RestartTunables;
  std::string Marker;
  // Set after a restart: the marker was found, so the old environment is put
  // back (GLIBC_TUNABLES restored, or removed when the marker is empty).
  std::optional<std::string> RestoreTunables;
};

// tunables/marker: the variables' values, null when unset; thpMode: the
// contents of /sys/kernel/mm/transparent_hugepage/enabled; glibcVersion: as
// gnu_get_libc_version() gives it ("2.36"). A restart is planned only where it
// helps: huge pages given on request ("[madvise]"), a C library that knows the
// setting (2.35 or later), the setting not already made, and no switch off.
THugePagePlan PlanHugePageHeap(const char* tunables, const char* marker, const char* switchValue,
                               const std::string& thpMode, const std::string& glibcVersion);

// Carries out the plan for this process: restarts it through /proc/self/exe
// with the same arguments (returning only if that fails, with the
// environment unchanged), or puts the environment back after a restart.
void UseHugePageHeap(char** argv);

// The marker variable's name.
inline constexpr const char* kHugePageMarker = "QM_HUGE_PAGES_RESTARTED";

}  // namespace qm
