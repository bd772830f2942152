// The speed layers of the highlighting passes, each switchable off so that tests can compare results.
#pragma once

namespace qm::scan {

// Each layer gives exactly the runs that the plain passes give; the tests
// compare the two. The first four serve a long catch-up (highlight-all, the
// RTF export), the last two every keyword pass.
struct TSpeedLayers {
  // A paragraph met again under an equal start style takes the outcome of its
  // first occurrence (the repeated-lines table).
  bool RepeatedLines = true;
  // One scan of a paragraph for every start key of the editor and its chain
  // spares the lists' own searches where no key can begin.
  bool StartKeyFilter = true;
  // The chain's shared keyword lookup is found once, not for every paragraph.
  bool ChainPlan = true;
  // The style outside a closing span is found from the levels the catch-up
  // noted paragraph by paragraph, not by reading back through the block.
  bool LevelIndex = true;
  // A highlighter's keyword pass looks words up in a hash index instead of
  // trying every entry at every place.
  bool KeywordIndex = true;
  // The plain highlighters of a chain that split words alike look each word
  // up once for all of them.
  bool SharedLookup = true;

  static constexpr TSpeedLayers AllOff() { return TSpeedLayers{false, false, false, false, false, false}; }
};

// The layers every pass uses unless it is given others: all on, unless a
// program (the tests, through QM_SPEED_LAYERS=off) sets them otherwise.
const TSpeedLayers& ProcessSpeedLayers();
void SetProcessSpeedLayers(const TSpeedLayers& layers);

}  // namespace qm::scan
