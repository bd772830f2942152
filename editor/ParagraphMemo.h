// Remembered outcomes of the highlighting passes over paragraphs, for reuse on repeated lines within one catch-up.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
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

  // How the key reads each ASCII unit when digits are read alike (see DigitClasses).
  enum class UnitClass : uint8_t { Other, Digit, Neutral, Boundary };
  using TDigitClasses = std::array<UnitClass, 128>;
  // The unit the key reads for each ASCII unit (see LetterCases).
  using TLetterCases = std::array<char16_t, 128>;

  // How keys read a paragraph's text: without its leading blanks (see
  // IgnoresIndent), with digits read alike where the classes say they cannot
  // matter (see DigitClasses), and with letters in one case where no pass
  // tells the cases apart (see LetterCases).
  struct TReading {
    bool IgnoresIndent = false;
    std::optional<TDigitClasses> Digits;
    std::optional<TLetterCases> Letters;
    // All that the lists of memo and its chain allow.
    static TReading For(TPlusMemoU& memo);
  };

  // The memo grows with the catch-up it serves, `paragraphs` long: a longer
  // text holds more distinct lines that recur.
  explicit TParagraphMemo(const TReading& reading, size_t paragraphs = 0);

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
  // The classes under which the passes cannot tell one ASCII digit from
  // another, or none. A stretch of digits and Neutral units (ASCII
  // punctuation that is no separator in some list) standing between
  // Boundary units (ASCII non-letters that separate in every list) or the
  // ends of the text is read with every digit as "0". That is exact when no
  // list takes a digit for a separator, no start or stop key holds a digit,
  // no list folds case through a routine of the program's, and no keyword
  // holds a digit in a stretch of digits and Neutral units between its own
  // Boundary units or ends: a keyword that could match over such a digit
  // would need a unit of another class inside the text's stretch. Then words
  // of digits match no keyword, every number is a number whatever its digits,
  // and separator tests give the same answers. Scripts differ mostly in their
  // numbers ("set timer to 12", "if count > 3"); this lets such lines share
  // one outcome.
  static std::optional<TDigitClasses> DigitClasses(TPlusMemoU& memo);
  // The unit each ASCII unit is read as when the passes cannot tell an ASCII
  // letter from its other case, or none: so it is when no entry of any list
  // matches case and no list folds case through a routine of the program's
  // (the passes compare every key with the text folded), and then for each
  // letter that every separator set holds in both cases or in neither (the
  // separator tests read the text as written; a number's hexadecimal digits
  // may be of either case). Such letters are read in upper case; the rest
  // as written. Script authors write "If", "if" and "IF" alike.
  static std::optional<TLetterCases> LetterCases(TPlusMemoU& memo);

  // The key of a paragraph: its text and start style, and whether it is the
  // last (the passes treat the end of the text apart). When the memo ignores
  // indentation, Text leaves out the leading blanks (Indent units) and only
  // their number up to the start style's open key length counts: a run that
  // restores the start style after a keyword carries that length less the
  // keyword's end, counted from the paragraph start and never below 0. When
  // the memo reads digits or letters alike, Text is the text as the key
  // reads it, held by the memo until the third KeyOf after this one (so that
  // the key of the next paragraph can be made, and made again, while this
  // one's is in use).
  struct Key {
    uint32_t StartStyle;
    bool Last;
    std::u16string_view Text;
    uint32_t Indent;       // units left out in front
    uint32_t IndentClass;  // the part of Indent that tells outcomes apart
    uint64_t Hash;
  };
  Key KeyOf(const TDynInfo& startStyle, uint32_t startStyleId, bool last, std::u16string_view text);

  // Starts loading what Find and SeenBefore will read for key, so that the
  // key of the next paragraph, made ahead, costs no wait on memory later.
  void Prefetch(const Key& key) const;
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
  // One slot per eight paragraphs, within these bounds.
  static constexpr size_t kMinSlots = 16384;
  static constexpr size_t kMaxSlots = 65536;
  // Fingerprints of paragraphs seen once: a paragraph takes a slot only when
  // it comes again, so that lines met once never push out recurring ones.
  static constexpr size_t kSeen = 65536;
  // The slots take the low 16 bits of a hash at most; the fingerprints take the 16 above.
  static_assert(kMaxSlots <= (size_t{1} << 16) && kSeen == (size_t{1} << 16));

  size_t SlotIndex(uint64_t hash) const { return hash & (slotCount_ - 1); }
  Slot& SlotOf(uint64_t hash) { return slots_[SlotIndex(hash)]; }
  // The text as the key reads it, in one of the read_ buffers in turn when it differs.
  std::u16string_view Read(std::u16string_view text);
  // Reads the letters of text as the reading says into read; whether text holds an ASCII digit.
  bool ReadLetters(std::u16string_view text, char16_t* read) const;
  // Reads the digits of text alike in read.
  void ReadDigitsAlike(std::u16string_view text, char16_t* read, bool& copied) const;
  static size_t SeenIndex(uint64_t hash) { return (hash >> 16) & (kSeen - 1); }

  TReading reading_;
  // The lower-case letters read as written, when there are no more than
  // fit here, the rest filled with a unit that is no letter (see ReadLetters).
  std::array<char16_t, 4> kept_{};
  bool fewKept_ = true;
  static constexpr size_t kReadBuffers = 3;
  std::array<std::array<char16_t, kMaxLength>, kReadBuffers> read_{};
  size_t nextRead_ = 0;
  // Up to 15 MB read at random: mapped from the system (see MapZeroedTable),
  // where zero bytes are empty slots.
  struct SlotsFree {
    size_t Bytes;
    void operator()(Slot* slots) const;
  };
  static Slot* MapSlots(size_t count);
  size_t slotCount_;
  std::unique_ptr<Slot[], SlotsFree> slots_;
  std::vector<uint32_t> seen_;
};

}  // namespace scan
}  // namespace qm
