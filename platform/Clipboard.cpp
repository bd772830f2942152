// The process-wide clipboard.
#include "platform/Clipboard.h"

namespace qm {
namespace {
TClipboard* g_installed = nullptr;
}

TClipboard& PlatformClipboard() {
  static TMemoryClipboard memory;
  return g_installed != nullptr ? *g_installed : memory;
}

void SetPlatformClipboard(TClipboard* clipboard) { g_installed = clipboard; }

}  // namespace qm
