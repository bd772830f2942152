// A quick test over a whole paragraph that no start key of an editor or of its highlighter chain can begin in it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/store/Types.h"

namespace qm {

class TStartStopKeyList;

namespace scan {

class TScanHost;

// Most paragraphs of a script hold no start key at all, yet the span pass
// would ask every list along the chain for one, each list scanning the
// paragraph again. This filter takes all those lists together and scans the
// paragraph once. It compares units as written, with every ASCII unit
// standing for both its cases and every unit outside ASCII for anything
// (folding may map it to any key unit): first each pair of neighbouring units
// with the keys' first two units and whether the unit before could be a
// separator, then, where a pair fits, the whole keys. It answers "maybe" wherever some key could
// match and "no" only where none can, so a "no" lets the pass skip the
// start-key search of the paragraph without changing its outcome.
//
// Built for one catch-up, during which nothing may change the lists: only
// chains without event handlers qualify (see Build).
class TStartKeyFilter {
 public:
  // Takes the start keys of memo's own list and of every highlighter of its
  // chain; false when the filter cannot vouch for them (a folding routine the
  // program installs, a highlighter with a pass or handlers of its own).
  bool Build(TScanHost& host);
  // False only when no start key of those lists can match anywhere in text.
  bool MayStartIn(std::u16string_view text) const { return FirstStart(text) != std::u16string_view::npos; }
  // The first position of text where a start key of those lists may begin
  // (none begins before it), or npos.
  size_t FirstStart(std::u16string_view text) const;

 private:
  static constexpr unsigned kOther = 128;  // the index of every unit outside ASCII
  static constexpr unsigned kUnits = 129;
  static constexpr unsigned kNoUnit = 129;      // past the paragraph end
  static constexpr uint8_t kAnywhere = 1;       // some key may begin here
  static constexpr uint8_t kAfterSep = 2;       // some key may begin here after a separator
  static constexpr uint8_t kShortAnywhere = 4;  // the same for keys of one or two units
  static constexpr uint8_t kShortAfterSep = 8;

  static unsigned IndexOf(char16_t c) { return c < kOther ? c : kOther; }
  bool AddList(const TStartStopKeyList& keys, const TCharSet& separators);
  void AddKey(std::u16string_view match, bool afterSep);
  void Mark(char16_t first, unsigned next, uint8_t where);
  // Whether a key may begin at i, as far as the filter can tell.
  bool StartsAt(std::u16string_view text, size_t i) const;
  // Chooses the units that the quick test over eight units at a time looks for.
  void PlanQuickTest();
  // Whether some key of more than two units may match at i, its separator before allowed or not.
  bool LongKeyAt(std::u16string_view text, size_t i, bool afterSep) const;

  struct LongKey {
    std::u16string Match;
    bool AfterSep;
  };
  // The keys of more than two units, compared whole where their pair fits;
  // too many of them are not compared (the pair decides).
  static constexpr size_t kMaxLongKeys = 64;
  std::vector<LongKey> longKeys_;
  bool compareLong_ = true;

  // Whether some key may begin at a unit, whatever follows.
  std::array<bool, kUnits> mayBegin_{};
  // [unit][next unit, or kNoUnit]: the k… bits of the keys beginning so.
  std::array<std::array<uint8_t, kUnits + 1>, kUnits> pairs_{};
  // Whether a unit may be a separator of some list.
  std::array<bool, kUnits> maySeparate_{};

  // The units that may begin a key, looked for eight at a time before the
  // pairs are read; a letter with both its cases is one unit with bit 5 set.
  struct QuickTest {
    bool On = false;
    size_t Count = 0;
    std::array<char16_t, 8> Units{};
    std::array<bool, 8> Lowered{};
    bool Other = false;  // any unit outside ASCII may begin a key
  };
  QuickTest quick_;
};

}  // namespace scan
}  // namespace qm
