// Remembered outcomes of the highlighting passes over paragraphs, for reuse on repeated lines within one catch-up.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "editor/store/Paragraphs.h"

namespace qm::scan {

class TScanHost;

// Scripts repeat many short lines exactly ("endif", "end", "else", a blank
// line, a common statement at a common indent). When the passes over a
// paragraph read nothing but its text and its start style, their outcome is
// remembered under those two, and a later paragraph with the same text and
// start style takes the runs instead of running the passes again. A line
// that closes a span begun before it ("end") reads one thing more, the style
// in effect before that span: its outcome is kept with that style, and taken
// where the style before the span is the same. The table lives for one
// catch-up: with no event handlers nothing can change the chain or its lists
// meanwhile, and the style table only grows, so the style numbers it holds
// stay valid.
//
// Outcomes are kept one after another in a store sized by the length of the
// catch-up, and found through a table of their hashes, so that a lookup
// touches one place of the table and one outcome, and remembering allocates
// nothing. Every paragraph's outcome is kept the first time (a line that
// comes again anywhere in the text is then found), until the store or the
// table is full; no outcome ever pushes out another.
class TRepeatedLines {
 public:
  static constexpr size_t kMaxLength = 255;  // units of text in a kept outcome
  static constexpr size_t kMaxRuns = 64;

  struct Outcome {
    const TRunRec* Runs;
    uint32_t Count;
    bool ClearsLaidOut;
    uint32_t SpanEnd;  // the style at the paragraph end after the span pass, handed on
    // A paragraph that closes the span it starts in reads the style in
    // effect below that span's level before it (see OuterStyle): its
    // outcome holds for a paragraph only where that style is the same.
    int LookBackLevel = -1;
    uint32_t LookBackStyle = 0;
    // The lowest key level of the start style and the runs.
    int LowestLevel = -1;
    // The start style the runs were made under. When it is known which of
    // the runs (bit k for run k) and whether the end style carry that
    // style's closing key length, the outcome serves every start of its
    // family (see Key): those runs then take the new start's length.
    uint32_t StartStyle = 0;
    bool ServesFamily = false;
    uint64_t FollowsStart = 0;
    bool SpanEndFollowsStart = false;
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
    // All that the lists of the editor and its chain allow.
    static TReading For(TScanHost& host);
  };

  // The table grows with the catch-up it serves, `paragraphs` long: a longer
  // text holds more distinct lines that recur.
  explicit TRepeatedLines(const TReading& reading, size_t paragraphs = 0);

  // Whether the passes of the editor's chain read only a paragraph's text and
  // start style: plain highlighter classes, no event handlers, no keyword
  // pass of the editor's own.
  static bool Applies(TScanHost& host);
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
  static bool IgnoresIndent(TScanHost& host);
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
  static std::optional<TDigitClasses> DigitClasses(TScanHost& host);
  // The unit each ASCII unit is read as when the passes cannot tell an ASCII
  // letter from its other case, or none: so it is when no entry of any list
  // matches case and no list folds case through a routine of the program's
  // (the passes compare every key with the text folded), and then for each
  // letter that every separator set holds in both cases or in neither (the
  // separator tests read the text as written; a number's hexadecimal digits
  // may be of either case). Such letters are read in upper case; the rest
  // as written. Script authors write "If", "if" and "IF" alike.
  static std::optional<TLetterCases> LetterCases(TScanHost& host);

  // The key of a paragraph: its text and start style, and whether it is the
  // last (the passes treat the end of the text apart). When the table ignores
  // indentation, Text leaves out the leading blanks (Indent units) and only
  // their number up to the start style's open key length counts: a run that
  // restores the start style after a keyword carries that length less the
  // keyword's end, counted from the paragraph start and never below 0. When
  // the table reads digits or letters alike, Text is the text as the key
  // reads it, held by the table until the third KeyOf after this one (so that
  // the key of the next paragraph can be made, and made again, while this
  // one's is in use).
  //
  // Start styles that differ in their closing key length alone form a
  // family, named by the member whose length is 0 (StartFamily), and their
  // outcomes differ only there: no pass reads a closing key length, they
  // only copy it from style to style or set it. So a paragraph's outcome is
  // kept under its start's family, and serves every member when the passes
  // have shown which runs carry the start's length (see Outcome).
  struct Key {
    uint32_t StartStyle;
    uint32_t StartFamily;
    bool Last;
    std::u16string_view Text;
    uint32_t Indent;       // units left out in front
    uint32_t IndentClass;  // the part of Indent that tells outcomes apart
    uint64_t Hash;
  };
  Key KeyOf(const TDynInfo& startStyle, uint32_t startStyleId, uint32_t startFamily, bool last,
            std::u16string_view text);
  Key KeyOf(const TDynInfo& startStyle, uint32_t startStyleId, bool last, std::u16string_view text) {
    return KeyOf(startStyle, startStyleId, startStyleId, last, text);
  }

  // Starts loading the table place that Find will read for key, so that the
  // key of the next paragraph, made ahead, costs no wait on memory later.
  void Prefetch(const Key& key) const;
  // Starts loading the outcome that Find will first read for key, once its
  // table place is loaded: a store many times larger than the caches is
  // read at random.
  void PrefetchOutcome(const Key& key) const;
  // The outcomes kept for a paragraph, one after another: from starts at 0
  // and moves past each one found. A key has more than one only when its
  // outcomes looked back at different styles.
  bool Find(const Key& key, Outcome& out, size_t& from) const;
  bool Find(const Key& key, Outcome& out) const {
    size_t from = 0;
    return Find(key, out, from);
  }
  // Keeps the outcome of a paragraph that Find did not know, while there is room.
  void Remember(const Key& key, const Outcome& outcome);

 private:
  // A kept outcome, followed in the store by its RunCount runs and then its
  // Length units of text.
  struct Entry {
    uint64_t Hash;
    uint64_t FollowsStart;
    uint32_t StartStyle;
    uint32_t StartFamily;
    uint32_t SpanEnd;
    uint32_t LookBackStyle;
    uint16_t Length;
    uint8_t RunCount;
    uint8_t IndentClass;
    bool Last;
    bool ClearsLaidOut;
    int8_t LookBackLevel;
    int8_t LowestLevel;
    bool ServesFamily;
    bool SpanEndFollowsStart;
    const TRunRec* Runs() const { return reinterpret_cast<const TRunRec*>(this + 1); }
    TRunRec* Runs() { return reinterpret_cast<TRunRec*>(this + 1); }
    const char16_t* Text() const { return reinterpret_cast<const char16_t*>(Runs() + RunCount); }
    char16_t* Text() { return reinterpret_cast<char16_t*>(Runs() + RunCount); }
  };
  // The store's bytes for an outcome, kept to whole 8-byte words.
  static size_t EntryBytes(size_t runs, size_t length) {
    return (sizeof(Entry) + runs * sizeof(TRunRec) + length * sizeof(char16_t) + 7) & ~size_t{7};
  }
  // One table place for every two paragraphs of the catch-up, the table at
  // most half full; 48 bytes of store for each paragraph (a script's
  // outcomes take about 110 bytes, and most lines recur).
  static constexpr size_t kMinPlaces = 4096;
  static constexpr size_t kMaxPlaces = size_t{1} << 22;
  static constexpr size_t kStoreBytesPerParagraph = 48;
  static constexpr size_t kMinStoreBytes = size_t{1} << 20;
  static constexpr size_t kMaxStoreBytes = size_t{1} << 26;
  // A table place holds the high half of an outcome's hash and its word in
  // the store counted from 1; zero places are empty.
  size_t PlaceOf(uint64_t hash) const { return hash & (places_ - 1); }
  static uint64_t Tag(uint64_t hash) { return hash & ~uint64_t{0xFFFFFFFF}; }
  const Entry* EntryAt(uint64_t place) const {
    return reinterpret_cast<const Entry*>(store_.get() + ((place & 0xFFFFFFFF) - 1) * 8);
  }
  bool Matches(const Entry& entry, const Key& key) const;
  // The text as the key reads it, in one of the read_ buffers in turn when it differs.
  std::u16string_view Read(std::u16string_view text);
  // Reads the letters of text as the reading says into read; whether text holds an ASCII digit.
  bool ReadLetters(std::u16string_view text, char16_t* read) const;
  // Reads the digits of text alike in read.
  void ReadDigitsAlike(std::u16string_view text, char16_t* read, bool& copied) const;

  TReading reading_;
  // The lower-case letters read as written, when there are no more than
  // fit here, the rest filled with a unit that is no letter (see ReadLetters).
  std::array<char16_t, 4> kept_{};
  bool fewKept_ = true;
  static constexpr size_t kReadBuffers = 3;
  std::array<std::array<char16_t, kMaxLength>, kReadBuffers> read_{};
  size_t nextRead_ = 0;
  // Mapped from the system (see MapZeroedTable): the table's zero places are
  // empty, and the store's pages are taken only as outcomes fill them.
  struct Unmap {
    size_t Bytes;
    void operator()(void* block) const;
  };
  template <typename T>
  static std::unique_ptr<T[], Unmap> Map(size_t count);
  size_t places_;
  size_t filled_ = 0;  // places in use
  std::unique_ptr<uint64_t[], Unmap> index_;
  size_t storeBytes_;
  size_t stored_ = 0;  // bytes in use
  std::unique_ptr<uint8_t[], Unmap> store_;
};

}  // namespace qm::scan
