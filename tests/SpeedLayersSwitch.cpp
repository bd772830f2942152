// QM_SPEED_LAYERS=off in the environment runs a test program with every speed layer of the highlighting off.
#include <cstdlib>
#include <cstring>

#include "editor/highlight/SpeedLayers.h"

namespace {

const bool kLayersSet = [] {
  const char* value = std::getenv("QM_SPEED_LAYERS");
  if (value != nullptr && std::strcmp(value, "off") == 0)
    qm::scan::SetProcessSpeedLayers(qm::scan::TSpeedLayers::AllOff());
  return true;
}();

}  // namespace
