// TParagraphsList: the paragraph store of the editor, with its records, extra info, load, save and replace.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "editor/store/BlockPool.h"
#include "editor/store/DynArray.h"
#include "editor/store/DynInfo.h"
#include "editor/store/Types.h"
#include "platform/Stream.h"

namespace qm {

// Paragraph flags.
inline constexpr uint8_t pfExtraInfo = 1 << 0;        // Info indexes a ParExtraInfo
inline constexpr uint8_t pfOwnText = 1 << 1;          // Text is a buffer of this paragraph alone
inline constexpr uint8_t pfLaidOut = 1 << 2;          // display lines and widths are valid
inline constexpr uint8_t pfSpansParsed = 1 << 3;      // start-stop spans are up to date
inline constexpr uint8_t pfKeywordsApplied = 1 << 4;  // the keyword pass has run
inline constexpr uint8_t pfScanMark = 1 << 5;         // a further mark of the highlighting scan
inline constexpr uint8_t pfHighlightBits = pfLaidOut | pfSpansParsed | pfKeywordsApplied;

// The compact paragraph record: 21 bytes packed, so that a plain paragraph
// costs its characters plus this record. Info holds Length (low 16 bits) and
// Width (high 16 bits), or with pfExtraInfo the index of its ParExtraInfo.
#pragma pack(push, 1)
struct TParagraphRec {
  char16_t* Text;
  int32_t StartOffset;  // stored value; the list applies its pending shift on reading
  int32_t StartLine;    // stored value; likewise
  uint8_t Flags;
  uint32_t Info;
};
#pragma pack(pop)
static_assert(sizeof(TParagraphRec) == 21);

// One display line of a paragraph.
struct TLineInfo {
  int32_t LineStart = 0;      // first character shown
  int32_t LineStop = 0;       // one past the last character shown
  int32_t LineWidth = 0;      // pixels
  int32_t MeasuredTo = 0;     // offset up to which the wrapping pass measured
  int32_t StretchSpaces = 0;  // spaces that justification may stretch
  int32_t StretchFrom = 0;    // offset from which they stretch
  uint8_t StartStyle = 0;     // format-code style state at the line start
  int32_t FirstRun = 0;       // index of the first style run at or after LineStart
  bool operator==(const TLineInfo&) const = default;
};

// What few paragraphs need: several display lines, unusual first-line
// values, colours of their own.
struct ParExtraRare {
  TColor ParBackground = -1;  // the paragraph's own colours, read by painting
  TColor ParForeground = -1;
  uint8_t Flags = 0;          // a flag byte of the paragraph
  bool HasFirstLine = false;  // FirstLine holds the first display line
  TLineInfo FirstLine;
  std::vector<TLineInfo> MoreLines;
};

// Everything a paragraph holds beyond the compact record: one block whose
// style runs follow the header, so a highlighted paragraph costs one
// allocation. Reallocated when the runs outgrow it; reached by index.
struct ParExtraInfo {
  int32_t Length = 0;
  int32_t Width = 0;        // width of a single display line
  uint32_t StartStyle = 0;  // style-table number of the style in effect at the start
  uint32_t RunCount = 0;
  uint32_t RunCapacity = 0;
  uint8_t StaticStyle = 0;  // format-code state at the start
  ParExtraRare* Rare = nullptr;

  TRunRec* Runs() { return reinterpret_cast<TRunRec*>(this + 1); }
  const TRunRec* Runs() const { return reinterpret_cast<const TRunRec*>(this + 1); }
};
static_assert(sizeof(ParExtraInfo) % alignof(TRunRec) == 0);

// What one Replace did.
struct TReplaceResult {
  bool RunsRemoved = false;        // style runs inside the replaced range were removed
  bool StyleStateChanged = false;  // the format-code state after the new text changed
  int32_t LengthDelta = 0;         // change of TextLength
  int32_t ParagraphsAdded = 0;     // change of the paragraph count (may be negative)
  int32_t FirstParagraph = 0;      // paragraph that holds the start of the new text
  int32_t TailParagraph = 0;       // paragraph that holds the end of the new text
  int32_t TailOffset = 0;          // offset of the end of the new text in it
};

// The dirty range that the next layout pass must catch up with.
struct TDirtyRange {
  int32_t LinesBefore = 0;
  int32_t FirstPar = -1;
  int32_t LastPar = -1;
  int32_t LineDelta = 0;
};

class TParagraphsList : public TDynArray2 {
 public:
  static constexpr int kLoadBlockChars = 65501;
  static constexpr int kCompactLimit = 65535;
  // Runs a record made for a start style has room for.
  static constexpr uint32_t kStartStyleRuns = 4;
  // The whole text and every paragraph buffer must stay addressable with
  // signed 32-bit positions.
  static constexpr int64_t kMaxLength = INT32_MAX;

  TParagraphsList();
  ~TParagraphsList() override;

  // Record i (checked).
  TParagraphRec* Rec(int i) const { return reinterpret_cast<TParagraphRec*>(Items(i)); }

  // Paragraph accessors.
  const char16_t* Text(int i) const;
  std::u16string_view TextView(int i) const { return {Text(i), static_cast<size_t>(Length(i))}; }
  int32_t Length(int i) const;
  int32_t StartOffset(int i) const;
  int32_t StartLine(int i) const;
  uint8_t Flags(int i) const { return Rec(i)->Flags; }
  // Sets the layout and highlighting flags; pfExtraInfo and pfOwnText stay as they are.
  void SetFlags(int i, uint8_t flags) {
    TParagraphRec* r = Rec(i);
    r->Flags = static_cast<uint8_t>((r->Flags & (pfExtraInfo | pfOwnText)) | (flags & ~(pfExtraInfo | pfOwnText)));
  }
  int32_t Width(int i) const;
  ParExtraInfo* Extra(int i) const;  // nullptr for a compact paragraph
  // Switches the paragraph to the extended form, with room for runCapacity runs when new.
  ParExtraInfo& MakeExtra(int i, uint32_t runCapacity = 0);
  ParExtraRare& MakeRare(int i);
  void SetParLength(int i, int32_t length);
  int LineCountOf(int i) const;

  // Style runs, ordered by offset.
  int RunCount(int i) const;
  TDynInfo Run(int i, int k) const;  // the run with its attributes
  int32_t RunOffset(int i, int k) const { return Extra(i)->Runs()[k].Offset; }
  const TRunRec* RunRecs(int i) const;  // nullptr when there are none
  void InsertRun(int i, int k, const TDynInfo& run);
  void SetRun(int i, int k, const TDynInfo& run);
  void EraseRuns(int i, int k, int count);
  void SetRuns(int i, const std::vector<TDynInfo>& runs);
  // Replaces all runs of paragraph i with n records at once; a compact
  // paragraph gets an extended record sized for exactly these runs.
  void SetRunRecs(int i, const TRunRec* runs, uint32_t n);
  // The style in effect at the paragraph start.
  TDynInfo StartStyle(int i) const;
  uint32_t StartStyleId(int i) const;
  void SetStartStyle(int i, const TDynInfo& style) { SetStartStyleId(i, Styles.Intern(style)); }
  void SetStartStyleId(int i, uint32_t id);

  void MakeOwnText(int i);
  TLineInfo LayoutInfo(int i) const;
  void SetLayoutInfo(int i, const TLineInfo& line);
  TLineInfo LineInfo(int i, int line) const;  // raises ERangeError outside the lines
  // Replaces the display lines of paragraph i, moving later StartLines and LineCount.
  void SetDisplayLines(int i, const std::vector<TLineInfo>& lines);

  // Shift StartOffset / StartLine of paragraphs from `from` to the end.
  void AddToStartOffsets(int from, int32_t delta);
  void AddToStartLines(int from, int32_t delta);
  void AddToBoth(int from, int32_t offsetDelta, int32_t lineDelta);

  // Paragraph holding absolute position pos (0 … TextLength).
  int ParagraphOfPosition(int32_t pos) const;
  // Paragraph holding display line `line`.
  int ParagraphOfLine(int32_t line) const;

  using ProgressFn = std::function<void()>;
  // Loads UTF-16 from the stream's position to its end; returns the detected line break.
  TPlusLineBreak LoadFromStream(TStream& stream, char16_t nullReplacement, unsigned progressInterval,
                                const ProgressFn& progress, bool discardTrailing);
  void SaveToStream(TStream& stream, bool removeEmptyCodePairs, unsigned progressInterval, const ProgressFn& progress,
                    TPlusLineBreak lineBreak, bool discardTrailing) const;
  // Replaces from (p, s) to (q, e) with text; CR, CR LF split paragraphs.
  // Raises "Text too long" and leaves the text unchanged when a limit would be passed.
  TReplaceResult Replace(int p, int32_t s, int q, int32_t e, std::u16string_view text);
  void Clear();
  void InvalidateLayout();

  // Bytes held by records, extra info, texts and load blocks.
  size_t MemoryUsed() const;

  // Text shared by many paragraphs: the blocks a load reads into and the new
  // lines of a large replacement. Paragraphs pointing into a block lack
  // pfOwnText; the block is freed when the last of them is freed or takes a
  // buffer of its own. Kept in address order, so that a paragraph's block is
  // found from its text.
  struct TextBlock {
    std::unique_ptr<char16_t[]> Data;
    size_t Size = 0;
    int32_t Users = 0;  // paragraphs whose text lies in the block
  };

  std::vector<TextBlock> TextBlocks;
  // The block holding text, or nullptr.
  const TextBlock* BlockOf(const char16_t* text) const;
  TStyleTable Styles;
  bool StaticFormat = false;
  bool Changed = false;
  int32_t TextLength = 0;
  int32_t LineCount = 1;
  TDirtyRange Dirty;
  int32_t ScannedUpTo = -1;
  int32_t FormattedCount = 0;
  int32_t FormatLast = -1;
  bool Replacing = false;
  // Largest TextLength and paragraph buffer allowed; lowered by tests.
  int64_t LengthLimit = kMaxLength;

 private:
  // A shift still to be added to one field of every record from Par on.
  struct PendingShift {
    int Par = 0;
    int32_t Delta = 0;
  };
  void MoveShift(PendingShift& shift, int target, bool lines);
  int32_t ShiftedOffset(int i, const TParagraphRec* r) const;
  int32_t ShiftedLine(int i, const TParagraphRec* r) const;

  void AppendParagraph(char16_t* text, int32_t length, uint8_t staticStyle);
  // releaseShared false: the caller drops every text block itself.
  void FreeParagraph(TParagraphRec* r, bool releaseShared = true);
  // A paragraph stops using the shared text it points to.
  void ReleaseSharedText(const char16_t* text);
  // Puts the blocks in address order and drops those no paragraph uses.
  void SortTextBlocks();
  // Adds a block in its place in the order; room must have been reserved.
  void InsertTextBlock(TextBlock block);
  uint32_t NewExtra(ParExtraInfo* info);
  ParExtraInfo* AllocExtra(uint32_t capacity);
  void FreeExtra(ParExtraInfo* e);
  // Frees the record's block only (its Rare record is left alone).
  void DropExtraBlock(ParExtraInfo* e);
  // The record moved to a new block with room for capacity runs, keeping its
  // header and its first `keep` runs; the old block is freed.
  ParExtraInfo* MoveExtra(ParExtraInfo* old, uint32_t capacity, uint32_t keep);
  ParExtraInfo* GrowRuns(int i, uint32_t capacity);
  void ResetLayout(int i, int32_t length);
  void AppendRunRecs(int i, const std::vector<TRunRec>& runs);
  void CheckLength(int64_t n) const;

  // One load, in phases.
  class Loader;
  // The phases of Replace, in the order it runs them.
  struct ReplacePlan;
  struct PendingTexts;
  void NormalizeRange(ReplacePlan& plan, int p, int32_t s, int q, int32_t e) const;
  void PlanText(ReplacePlan& plan, std::u16string_view text) const;
  std::u16string RemovedText(const ReplacePlan& plan) const;
  void MakeBuffers(ReplacePlan& plan, PendingTexts& pending) const;
  bool CollectTailRuns(ReplacePlan& plan) const;
  void CommitFirstParagraph(ReplacePlan& plan, PendingTexts& pending);
  void InsertNewParagraphs(ReplacePlan& plan);
  void UpdateCounters(const ReplacePlan& plan, int added);
  void CarryStyleState(const ReplacePlan& plan);

  int ParagraphOfPositionSearch(int32_t pos) const;

  std::vector<ParExtraInfo*> extras_;  // a slot per extended paragraph
  TBlockPool smallExtras_{sizeof(ParExtraInfo) + kStartStyleRuns * sizeof(TRunRec)};
  mutable int lastFound_ = 0;     // the paragraph ParagraphOfPosition found last
  mutable size_t lastBlock_ = 0;  // the text block BlockOf found last
  std::vector<uint32_t> freeExtras_;
  PendingShift offsetShift_;
  PendingShift lineShift_;
};

// Own-text buffers carry their capacity in front of the characters.
char16_t* AllocText(int32_t capacity);
void FreeText(char16_t* text);
int32_t TextCapacity(const char16_t* text);
// Capacity for n characters with slack: n + n div 64 + 1.
int64_t SlackCapacity(int64_t n);

// The style-state bit that format code c toggles, or 0.
uint8_t FormatCodeMask(char16_t c);
// Removes pairs of equal format codes that have only format codes between them.
void RemoveEmptyCodePairs(std::u16string& text);

}  // namespace qm
