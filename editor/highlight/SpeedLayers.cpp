// The speed layers in force for the whole process.
#include "editor/highlight/SpeedLayers.h"

namespace qm::scan {
namespace {

TSpeedLayers& Layers() {
  static TSpeedLayers layers;
  return layers;
}

}  // namespace

const TSpeedLayers& ProcessSpeedLayers() { return Layers(); }

void SetProcessSpeedLayers(const TSpeedLayers& layers) { Layers() = layers; }

}  // namespace qm::scan
