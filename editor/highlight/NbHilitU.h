// TNumberHighlighterU: colours decimal and $-hexadecimal numbers at the end of a highlighter chain.
#pragma once

#include <cstdint>
#include <functional>

#include "editor/highlight/ExtHilitU.h"

namespace qm {

// Sender, Scope, DoHilit.
using TQueryHilitUEvent = std::function<void(TComponent* sender, int16_t scope, bool& doHilit)>;

class TNumberHighlighterU : public TCustomExtHighlighterU {
 public:
  TNumberHighlighterU() = default;

  // The number pass over the paragraph of from; it calls no further highlighter.
  void KeywordHook(scan::TScanPar& ps, int32_t from, int32_t to, int fromPar, int toPar, int keywordBase) override;
  bool PassesReadTextOnly() const override;

  // The region scope of a style: 0 without highlight, the 16-bit context of a
  // key style, else -32768.
  static int16_t RegionScope(const TDynInfo& style);

  bool AltFont = false;
  TColor Background = clNone;
  int16_t ContextNum = 3000;
  TColor Foreground = 255;
  TFontStyleSet Style = 0;
  int32_t Scope = 0;
  int32_t Priority = 0;
  TQueryHilitUEvent OnQueryHilit;

 private:
  class NumberPass;
  TCharTable separatorTable_;  // the separators, tested unit by unit
};

}  // namespace qm
