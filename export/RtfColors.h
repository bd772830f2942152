// The colour table of an RTF export and the resolution of system colour numbers to RGB.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editor/store/Types.h"

namespace qm {

// The RGB value (0x00BBGGRR) of system colour `index` (the low byte of a
// 0xFF0000nn colour number): the window system's usual default scheme, for
// hosts that have no palette of their own to ask.
TColor DefaultSystemColorRGB(int index);

// Resolves a system colour index to 0x00BBGGRR; hosts with a palette install their own.
using TSystemColorFn = std::function<TColor(int index)>;

// The plain colour of a colour number: a negative number is replaced by the
// system colour of its low byte; anything else keeps its three low bytes.
TColor ColorToRGB(TColor colour, const TSystemColorFn& system);

// The colours an export refers to by index, in the order they were added.
class TRtfColorTable {
 public:
  // Appends colour unless it is already there. "No colour of its own" (-1,
  // clNone) never enters: the writer uses the base colours for it.
  void Add(TColor colour);
  // Appends colour even when it is already there (the four base colours).
  void AddAlways(TColor colour) { colours_.push_back(colour); }
  // The first index holding colour, or -1.
  int IndexOf(TColor colour) const;
  const std::vector<TColor>& Colours() const { return colours_; }
  // "\redR\greenG\blueB;" for every colour, in table order.
  std::string Entries(const TSystemColorFn& system) const;

 private:
  std::vector<TColor> colours_;
};

// x rounded to the nearest integer, halves to the even neighbour, clamped to
// the 32-bit range.
int32_t RoundHalfEven(double x);

}  // namespace qm
