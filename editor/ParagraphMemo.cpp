// The memo of paragraph outcomes and the test of whether a chain's passes allow it.
#include "editor/ParagraphMemo.h"

#include <algorithm>

#include "editor/ExtHilitU.h"
#include "editor/Highlighter.h"
#include "editor/PlusMemoU.h"
#include "editor/Scan.h"

namespace qm::scan {

TParagraphMemo::TParagraphMemo(bool ignoresIndent)
    : ignoresIndent_(ignoresIndent), slots_(kSlots), seen_(kSeen) {}

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

bool BeginsWithBlank(std::u16string_view key) { return !key.empty() && IsBlank(key.front()); }

bool IndentNeutral(const TCharSet& separators) {
  return separators.Contains(u' ') && separators.Contains(u'\t');
}

// Each ASCII letter is a separator in both cases or in neither.
bool CaseNeutral(const TCharSet& separators) {
  for (char16_t c = u'a'; c <= u'z'; ++c)
    if (separators.Contains(c) != separators.Contains(static_cast<char16_t>(c - 32))) return false;
  return true;
}

bool IndentNeutral(const TStartStopKeyList& keys, const TCharSet& separators) {
  if (keys.Count() == 0) return true;
  if (!IndentNeutral(separators) || !CaseNeutral(separators)) return false;
  for (int e = 0; e < keys.Count(); ++e) {
    const StartStopEntry& entry = keys.Entry(e);
    if (BeginsWithBlank(entry.StartText()) || BeginsWithBlank(entry.StopText()) ||
        BeginsWithBlank(entry.StartMatch()) || BeginsWithBlank(entry.StopMatch()))
      return false;
    if (entry.ParentKey >= 0 || entry.ScopeContext == 32767 || entry.StartLength > 255 || entry.StopLength > 255)
      return false;
  }
  return true;
}

bool IndentNeutral(const TKeywordList& keywords) {
  for (int i = 0; i < keywords.Count(); ++i) {
    const KeywordEntry& entry = keywords.Entry(i);
    if (BeginsWithBlank(entry.Keyword) || BeginsWithBlank(entry.MatchKey)) return false;
  }
  return true;
}

}  // namespace

bool TParagraphMemo::Applies(TPlusMemoU& memo) {
  if (memo.ApplyKeyWords && memo.Keywords.Count() > 0) return false;
  return EveryInChain(memo.Highlighter(), [](TPlusHighlighterU& h) { return h.PassesReadTextOnly(); });
}

bool TParagraphMemo::IgnoresIndent(TPlusMemoU& memo) {
  if (!Applies(memo) || !IndentNeutral(memo.StartStopKeys, memo.Separators)) return false;
  return EveryInChain(memo.Highlighter(), [](TPlusHighlighterU& h) {
    const TCustomExtHighlighterU* ext = h.AsExtHighlighter();
    return ext != nullptr && IndentNeutral(ext->SeparatorSet()) &&
           IndentNeutral(ext->StartStopKeys, ext->SeparatorSet()) && IndentNeutral(ext->Keywords);
  });
}

TParagraphMemo::Key TParagraphMemo::KeyOf(const TDynInfo& startStyle, uint32_t startStyleId, bool last,
                                          std::u16string_view text) const {
  uint32_t indent = 0;
  if (ignoresIndent_)
    while (indent < text.size() && IsBlank(text[indent])) ++indent;
  text.remove_prefix(indent);
  const uint32_t indentClass = std::min<uint32_t>(indent, startStyle.OpenKeyLength);
  // Paragraphs too long for a slot are not hashed at all.
  const uint64_t hash =
      text.size() > kMaxLength
          ? 0
          : HashUnits(text.data(), text.size()) ^
                ((uint64_t{startStyleId} << 9 | uint64_t{indentClass} << 1 | (last ? 1 : 0)) * 0x9e3779b97f4a7c15ULL);
  return Key{startStyleId, last, text, indent, indentClass, hash};
}

bool TParagraphMemo::Find(const Key& key, Outcome& out) {
  if (key.Text.size() > kMaxLength) return false;
  Slot& slot = SlotOf(key.Hash);
  // The hash only places the slot: the paragraph itself must be the same.
  if (!slot.Used || slot.Hash != key.Hash || slot.StartStyle != key.StartStyle || slot.Last != key.Last ||
      slot.IndentClass != key.IndentClass ||
      slot.Length != key.Text.size() || !std::equal(key.Text.begin(), key.Text.end(), slot.Text.begin()))
    return false;
  slot.Reused = true;
  out = Outcome{slot.Runs.data(), slot.RunCount, slot.ClearsLaidOut, slot.SpanEnd};
  return true;
}

bool TParagraphMemo::SeenBefore(const Key& key) {
  if (key.Text.size() > kMaxLength) return false;
  // Placed by other bits of the hash than the slots, tagged with the high half.
  uint32_t& seen = seen_[(key.Hash >> 16) & (kSeen - 1)];
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
  slot.IndentClass = static_cast<uint8_t>(key.IndentClass);
  slot.ClearsLaidOut = outcome.ClearsLaidOut;
  slot.Reused = false;
  std::copy(key.Text.begin(), key.Text.end(), slot.Text.begin());
  std::copy(outcome.Runs, outcome.Runs + outcome.Count, slot.Runs.begin());
}

}  // namespace qm::scan
