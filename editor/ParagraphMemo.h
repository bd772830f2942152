// Remembered outcomes of the highlighting passes over paragraphs, for reuse on repeated lines within one catch-up.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "editor/Paragraphs.h"

namespace qm {

class TPlusMemoU;

namespace scan {

// Scripts repeat many short lines exactly ("endif", "end", "else", a blank
// line, a common statement at a common indent). When the passes over a
// paragraph read nothing but its text and its start style, their outcome is
// remembered under those two, and a later paragraph with the same text and
// start style takes the runs instead of running the passes again. The memo
// lives for one catch-up: with no event handlers nothing can change the chain
// or its lists meanwhile, and the style table only grows, so the style
// numbers it holds stay valid.
//
// It is a fixed table of slots placed by hash, each holding its paragraph's
// text and runs, so that a lookup touches one slot and remembering allocates
// nothing. A paragraph takes a slot only when it comes a second time, and a
// slot that was used again keeps its paragraph against the next newcomer
// once, so the lines that recur stay while unique ones pass through.
class TParagraphMemo {
 public:
  static constexpr size_t kMaxLength = 56;  // units of text in a slot
  static constexpr size_t kMaxRuns = 12;

  struct Outcome {
    const TRunRec* Runs;
    uint32_t Count;
    bool ClearsLaidOut;
    uint32_t SpanEnd;  // the style at the paragraph end after the span pass, handed on
  };

  // With ignoresIndent, keys leave out a paragraph's leading blanks (see IgnoresIndent).
  explicit TParagraphMemo(bool ignoresIndent = false);

  // Whether the passes of the editor's chain read only a paragraph's text and
  // start style: plain highlighter classes, no event handlers, no keyword
  // pass of the editor's own.
  static bool Applies(TPlusMemoU& memo);
  // Whether, besides, the passes treat a paragraph's leading blanks (spaces
  // and tabs) as nothing but separators before the rest of it, so that the
  // outcome for an indented line is the outcome for the line without its
  // indentation, every run moved right by the indentation. So it is when every
  // list of the editor and its chain takes blanks for separators, no key or
  // keyword begins with a blank, and no key may end its span at the first
  // separator, continue as another entry, or be longer than the runs' 8-bit
  // key lengths hold; and every separator set holds an ASCII letter in both
  // cases or in neither (a stop key after an opening key is checked against
  // the unit as written, the opening key against the folded one).
  static bool IgnoresIndent(TPlusMemoU& memo);

  // The key of a paragraph: its text and start style, and whether it is the
  // last (the passes treat the end of the text apart). When the memo ignores
  // indentation, Text leaves out the leading blanks (Indent units) and only
  // their number up to the start style's open key length counts: a run that
  // restores the start style after a keyword carries that length less the
  // keyword's end, counted from the paragraph start and never below 0.
  struct Key {
    uint32_t StartStyle;
    bool Last;
    std::u16string_view Text;
    uint32_t Indent;       // units left out in front
    uint32_t IndentClass;  // the part of Indent that tells outcomes apart
    uint64_t Hash;
  };
  Key KeyOf(const TDynInfo& startStyle, uint32_t startStyleId, bool last, std::u16string_view text) const;

  // The remembered outcome for a paragraph, if any.
  bool Find(const Key& key, Outcome& out);
  // Whether a paragraph not found is worth remembering: it was seen before.
  bool SeenBefore(const Key& key);
  void Remember(const Key& key, const Outcome& outcome);

 private:
  struct Slot {
    uint64_t Hash = 0;
    uint32_t StartStyle = 0;
    uint32_t SpanEnd = 0;
    uint8_t Length = 0;
    uint8_t RunCount = 0;
    uint8_t IndentClass = 0;
    bool Used = false;
    bool Last = false;
    bool ClearsLaidOut = false;
    bool Reused = false;  // found since it was filled
    std::array<char16_t, kMaxLength> Text{};
    std::array<TRunRec, kMaxRuns> Runs{};
  };
  static constexpr size_t kSlots = 16384;
  // Fingerprints of paragraphs seen once: a paragraph takes a slot only when
  // it comes again, so that lines met once never push out recurring ones.
  static constexpr size_t kSeen = 65536;
  // The slots take the low 16 bits of a hash at most; the fingerprints take the 16 above.
  static_assert(kSlots <= (size_t{1} << 16) && kSeen == (size_t{1} << 16));

  Slot& SlotOf(uint64_t hash) { return slots_[hash & (kSlots - 1)]; }

  bool ignoresIndent_;
  std::vector<Slot> slots_;
  std::vector<uint32_t> seen_;
};

}  // namespace scan
}  // namespace qm
