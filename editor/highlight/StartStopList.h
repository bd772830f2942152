// Start-stop key lists: the keys that open and close comment, string and block spans.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

#include "editor/highlight/KeyOptions.h"
#include "editor/highlight/StoredItems.h"
#include "editor/highlight/ValueStrings.h"
#include "editor/store/DynArray.h"
#include "editor/store/Types.h"

namespace qm {

// One key. The record lives as raw bytes in the list's record array, so it is
// trivially copyable; its four texts sit back to back in one buffer that the
// list allocates and frees.
struct StartStopEntry {
  uint8_t Options = 0;  // kwoMatchCase, kwoWholeWord
  uint8_t Style = 0;    // font style bits of the span text
  int32_t ContextNum = 0;
  int16_t Cursor = 0;
  TColor Background = clNone;
  TColor Foreground = clNone;
  // StartText, StopText, start match text, stop match text; null when both keys are empty.
  char16_t* Texts = nullptr;
  uint16_t StartLength = 0;
  uint16_t StopLength = 0;  // 0: no stop key
  int32_t ScopeContext = 0;
  int32_t ScopeLevel = 0;
  int32_t Tag = 0;
  int16_t ParentKey = -1;  // first earlier entry with the same Options and start match text
  bool StopAtParEnd = false;
  // Derived from the scanner's separators; valid while the list's SeparatorsComputed() holds.
  bool NeedSepAfterStart = false;
  bool NeedSepBeforeStart = false;
  bool NeedSepAfterStop = false;
  bool NeedSepBeforeStop = false;

  std::u16string_view StartText() const { return {Texts, StartLength}; }
  std::u16string_view StopText() const { return {Texts + StartLength, StopLength}; }
  // The keys as compared: folded by the list's upper-case type unless kwoMatchCase is set.
  std::u16string_view StartMatch() const { return {Texts + StartLength + StopLength, StartLength}; }
  std::u16string_view StopMatch() const { return {Texts + 2 * StartLength + StopLength, StopLength}; }
};
static_assert(std::is_trivially_copyable_v<StartStopEntry>);

// The editor control's own start-stop keys, in priority order. An entry's index
// is its identity: spans remember the entry that opened them by index.
class TStartStopKeyList {
 public:
  TStartStopKeyList();
  virtual ~TStartStopKeyList();
  TStartStopKeyList(const TStartStopKeyList&) = delete;
  TStartStopKeyList& operator=(const TStartStopKeyList&) = delete;

  int Count() const { return records_.Count; }
  // Raises ERangeError "List index out of bounds" outside 0 … Count-1.
  // Inline: the scan asks for entries at every candidate position. The chunks
  // come from operator new and the stride is the record size, so every record
  // is suitably aligned; records are only ever written by memcpy.
  const StartStopEntry& Entry(int index) const {
    return *reinterpret_cast<const StartStopEntry*>(records_.Items(index));
  }

  // Appends a key and returns its index. Keys are cut to 65535 units.
  int AddStartStopKey(std::u16string_view startKey, std::u16string_view stopKey, uint8_t options, uint8_t style,
                      int32_t contextNum, int16_t cursor, TColor background, TColor foreground, bool stopAtParEnd);
  // Frees every entry and shrinks the storage.
  void Clear();

  void SetScopeContext(int index, int32_t value);
  void SetScopeLevel(int index, int32_t value);
  void SetTag(int index, int32_t value);

  TpmUpperCase UpperCaseType() const { return upperCaseType_; }
  // Refolds the match texts of the entries without kwoMatchCase.
  void SetUpperCaseType(TpmUpperCase value);

  // Longest start and stop keys; the stop length is at least 2 (a paragraph
  // break) once any entry has StopAtParEnd. They bound the rescan windows.
  int MaxStartLength() const { return maxStartLength_; }
  int MaxStopLength() const { return maxStopLength_; }

  // The NeedSep… flags of every entry are up to date.
  bool SeparatorsComputed() const { return separatorsComputed_; }
  void ComputeSeparators(const TCharSet& separators);
  void InvalidateSeparators() { separatorsComputed_ = false; }
  // The units a start key can begin with: as written for keys compared with
  // case, folded for the others (any: some key compares without case). The
  // start-key search tries only positions holding one of them.
  const TCharSet& PlainFirstUnits() const { return FirstUnits().plain; }
  const TCharSet& FoldedFirstUnits() const { return FirstUnits().folded; }
  bool AnyFoldedKey() const { return FirstUnits().anyFolded; }
  // The same test for every unit value at once, for foldings that fold each
  // unit on its own: nonzero where some key may begin at a unit of the
  // unfolded text. Null under pmuUserDefined.
  const uint8_t* StartCandidates() const { return FirstUnits().candidates.get(); }
  // The entries that may begin at a unit whose StartCandidates value is v:
  // bit e for entry e. A list of more than 64 entries gives every bit, and
  // its entries from 64 on are always to be tried.
  uint64_t StartCandidateEntries(uint8_t v) const { return FirstUnits().masks[v]; }

  // Whether entry's start (stop) key matches at pos of the scanned text. The
  // key is compared with `unfolded` under kwoMatchCase, else with `folded`
  // (the same text folded by UpperCaseType()); only the compared view must be
  // given. The separator tests read the compared view, and its two ends count
  // as separators. Stale NeedSep… flags are evaluated against `separators`.
  // Empty keys never match.
  bool StartMatchesAt(size_t entry, std::u16string_view unfolded, std::u16string_view folded, size_t pos,
                      const TCharSet& separators) const;
  bool StopMatchesAt(size_t entry, std::u16string_view unfolded, std::u16string_view folded, size_t pos,
                     const TCharSet& separators) const;

  // The entry a closing span continues as: the first later entry whose
  // ParentKey is `index` (and, when `extended`, with the same ScopeContext and
  // ScopeLevel), or -1.
  int FindContinuation(int index, bool extended) const;

  // Textual form: "start|stop=Options,Style,ContextNum,Cursor,Background,Foreground,StopAtParEnd,ScopeContext,ScopeLevel,".
  // Loading raises EConvertError on a bad number and keeps the entries read before it;
  // no strings at all leave the list empty.
  void LoadFromValueStrings(const TValueStrings* strings);
  void LoadFromValueStrings(const TValueStrings& strings) { LoadFromValueStrings(&strings); }
  void SaveToValueStrings(TValueStrings& strings) const;

  // The stored list property "Keys": written in the full format, read in the
  // full or the older format. The owner stores it only when Count() > 0.
  void ReadKeys(TStoredReader& reader);
  void WriteKeys(TStoredWriter& writer) const;

  // Bytes held by the record array (not counting the texts).
  size_t AllocatedBytes() const { return records_.AllocatedBytes(); }

 protected:
  // Adds the entry of one textual line from its seven numbers (Options … StopAtParEnd);
  // `rest` holds whatever numbers follow them.
  virtual void AddLoadedKey(std::u16string_view startKey, std::u16string_view stopKey, const int32_t (&numbers)[7],
                            TNumberReader& rest);

 private:
  StartStopEntry& MutableEntry(int index);
  const StartStopEntry& EntryForMatch(size_t entry) const;
  void FoldMatchTexts(StartStopEntry& entry) const;
  void FreeTexts();

  TDynArray2 records_;
  TpmUpperCase upperCaseType_ = pmuAscii;
  int maxStartLength_ = 0;
  int maxStopLength_ = 0;
  bool separatorsComputed_ = false;
  struct TFirstUnits {
    bool valid = false;
    bool anyFolded = false;
    TCharSet plain;
    TCharSet folded;
    std::shared_ptr<uint8_t[]> candidates;
    std::vector<uint64_t> masks;  // indexed by the values of candidates
  };
  // Asked for at every start-key search, so the common case stays inline.
  const TFirstUnits& FirstUnits() const { return firstUnits_.valid ? firstUnits_ : BuildFirstUnits(); }
  const TFirstUnits& BuildFirstUnits() const;
  void BuildCandidates() const;
  mutable TFirstUnits firstUnits_;
};

// The start-stop keys of an extended highlighter: entries carry a scope.
class TExtStartStopList : public TStartStopKeyList {
 public:
  // AddStartStopKey, then the scope of the new entry; the 16-bit values are widened with sign.
  int AddExtStartStopKey(std::u16string_view startKey, std::u16string_view stopKey, uint8_t options, uint8_t style,
                         int16_t contextNum, int16_t scopeContext, int16_t scopeLevel, int16_t cursor,
                         TColor background, TColor foreground, bool stopAtParEnd);

 protected:
  // Also takes the two optional scope numbers of a textual line (0 when absent).
  void AddLoadedKey(std::u16string_view startKey, std::u16string_view stopKey, const int32_t (&numbers)[7],
                    TNumberReader& rest) override;
};

}  // namespace qm
