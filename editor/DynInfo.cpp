// The shared default start style and reference counting of start styles.
#include "editor/DynInfo.h"

namespace qm {

TStartInfo* DefaultStartInfo() {
  static TStartInfo defaultInfo;
  return &defaultInfo;
}

TStartInfo* RetainStartInfo(TStartInfo* info) {
  if (info != DefaultStartInfo()) ++info->RefCount;
  return info;
}

void ReleaseStartInfo(TStartInfo* info) {
  if (info == nullptr || info == DefaultStartInfo()) return;
  if (--info->RefCount <= 0) delete info;
}

}  // namespace qm
