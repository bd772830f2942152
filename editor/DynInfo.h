// Style runs inside paragraphs (TDynInfo) and the shared, reference-counted start styles.
#pragma once

#include <cstdint>

#include "editor/Types.h"

namespace qm {

// Bits of the Kind byte of a style.
inline constexpr uint8_t dkHighlight = 0x80;  // the run carries highlight attributes
inline constexpr uint8_t dkKeyOpened = 0x40;  // the run was opened by a key; Level is valid
inline constexpr uint8_t dkKeyStyle = 0xC0;   // both of the above
inline constexpr int kMaxKeyLevel = 15;

// One style change inside a paragraph: Offset is the paragraph offset at which
// it takes effect; the rest is the attribute block the highlighting scan writes.
struct TDynInfo {
  int32_t Offset = 0;
  uint8_t Kind = 0;
  int8_t Level = -1;
  TColor Background = 0;
  TColor Foreground = 0;
  int32_t ContextNum = 0;
  int16_t Cursor = 0;
  int16_t KeyStack[kMaxKeyLevel + 1] = {};
  uint8_t OpenKeyLength = 0;
  uint8_t CloseKeyLength = 0;

  // Level when the style was opened by a key, else -1.
  int KeyLevel() const { return Kind >= dkKeyStyle ? Level : -1; }
  // The context number when the style carries highlight attributes, else 0.
  int32_t Context() const { return (Kind & dkHighlight) ? ContextNum : 0; }
};

// A style in effect at a paragraph start. Records other than the shared
// default are reference-counted and shared between paragraphs.
struct TStartInfo {
  TDynInfo Style;
  int32_t RefCount = 1;
};

// The one default start style; it is never freed.
TStartInfo* DefaultStartInfo();

// Takes one more reference (nothing for the default).
TStartInfo* RetainStartInfo(TStartInfo* info);
// Drops one reference and frees the record at zero (never the default).
void ReleaseStartInfo(TStartInfo* info);

}  // namespace qm
