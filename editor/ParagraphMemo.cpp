// The memo of paragraph outcomes and the test of whether a chain's passes allow it.
#include "editor/ParagraphMemo.h"

#include <algorithm>

#include "editor/Highlighter.h"
#include "editor/PlusMemoU.h"
#include "editor/Scan.h"

namespace qm::scan {

TParagraphMemo::TParagraphMemo() : slots_(kSlots), seen_(kSeen) {}

bool TParagraphMemo::Applies(TPlusMemoU& memo) {
  if (memo.ApplyKeyWords && memo.Keywords.Count() > 0) return false;
  // A chain that comes back to a highlighter never ends; such a chain, or a
  // longer one than any real configuration, is simply not memoized.
  int members = 0;
  for (TPlusHighlighterU* h = memo.Highlighter(); h != nullptr; h = h->NextInChain()) {
    if (++members > 64 || !h->PassesReadTextOnly()) return false;
  }
  return true;
}

TParagraphMemo::Key TParagraphMemo::KeyOf(uint32_t startStyle, bool last, std::u16string_view text) {
  // Paragraphs too long for a slot are not hashed at all.
  const uint64_t hash = text.size() > kMaxLength ? 0
                                                 : HashUnits(text.data(), text.size()) ^
                                                       ((uint64_t{startStyle} << 1 | (last ? 1 : 0)) * 0x9e3779b97f4a7c15ULL);
  return Key{startStyle, last, text, hash};
}

bool TParagraphMemo::Find(const Key& key, Outcome& out) {
  if (key.Text.size() > kMaxLength) return false;
  Slot& slot = SlotOf(key.Hash);
  // The hash only places the slot: the paragraph itself must be the same.
  if (!slot.Used || slot.Hash != key.Hash || slot.StartStyle != key.StartStyle || slot.Last != key.Last ||
      slot.Length != key.Text.size() || !std::equal(key.Text.begin(), key.Text.end(), slot.Text.begin()))
    return false;
  slot.Reused = true;
  out = Outcome{slot.Runs.data(), slot.RunCount, slot.ClearsLaidOut, slot.SpanEnd};
  return true;
}

bool TParagraphMemo::SeenBefore(const Key& key) {
  if (key.Text.size() > kMaxLength) return false;
  // Placed by other bits of the hash than the slots, tagged with the high half.
  uint32_t& seen = seen_[(key.Hash >> 12) & (kSeen - 1)];
  const auto tag = static_cast<uint32_t>(key.Hash >> 32) | 1;
  if (seen == tag) return true;
  seen = tag;
  return false;
}

void TParagraphMemo::Remember(const Key& key, const Outcome& outcome) {
  if (key.Text.size() > kMaxLength || outcome.Count > kMaxRuns) return;
  Slot& slot = SlotOf(key.Hash);
  if (slot.Used && slot.Reused) {
    slot.Reused = false;  // kept this time; the next newcomer takes it unless it is found again
    return;
  }
  slot.Hash = key.Hash;
  slot.StartStyle = key.StartStyle;
  slot.SpanEnd = outcome.SpanEnd;
  slot.Length = static_cast<uint8_t>(key.Text.size());
  slot.RunCount = static_cast<uint8_t>(outcome.Count);
  slot.Used = true;
  slot.Last = key.Last;
  slot.ClearsLaidOut = outcome.ClearsLaidOut;
  slot.Reused = false;
  std::copy(key.Text.begin(), key.Text.end(), slot.Text.begin());
  std::copy(outcome.Runs, outcome.Runs + outcome.Count, slot.Runs.begin());
}

}  // namespace qm::scan
