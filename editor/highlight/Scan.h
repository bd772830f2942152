// The highlighting scan: start-stop spans, the style helpers the passes share, and the lazy parse of paragraphs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/highlight/RunBuffer.h"
#include "editor/highlight/ScanHost.h"
#include "editor/highlight/SpeedLayers.h"
#include "editor/highlight/StartStopList.h"
#include "editor/highlight/TextUnits.h"
#include "editor/store/DynInfo.h"
#include "editor/store/Paragraphs.h"
#include "editor/store/Types.h"

namespace qm {

namespace scan {

struct TChainKeywordPlan;

// Index of the first run of paragraph par with Offset > x (pastRuns) or >= x.
int FirstRun(const TParagraphsList& list, int par, int32_t x, bool pastRuns);
// The style in effect at x: with pastRuns the style of the character at x
// (runs starting at x count), else the style before x.
TDynInfo StyleAt(const TParagraphsList& list, int par, int32_t x, bool pastRuns);
// The last style before x whose key level is below `level`, looking back
// from the buffer's paragraph across the paragraphs before it; the default
// style when there is none.
TDynInfo OuterStyle(const TRunBuffer& runs, int32_t x, bool pastRuns, int level);
// The number of the last style before paragraph par whose key level is
// below `level` (0, the default style, when there is none); its run's offset
// in its paragraph goes to offset.
uint32_t OuterStyleBefore(const TParagraphsList& list, int par, int level, int32_t& offset);
// Equal for the scan: bits 7 and 6 of Kind, and with bit 7 the level, the
// context and the key stack up to the level.
bool ScanEqual(const TDynInfo& a, const TDynInfo& b);
// Gives x … y of the buffer's paragraph one style and restores the old style after it.
void ApplyRun(TRunBuffer& runs, int32_t x, int32_t y, TDynInfo run, bool forceOn);
// ApplyRun with forceOn for a run already in the style table (its Kind has bit 7).
void ApplyRunId(TRunBuffer& runs, int32_t x, int32_t y, uint32_t attr);
// The scope level of the span numbered `key` (its global start-stop index)
// in the host's own list or chain; 0 when no list holds it.
int ChainScopeLevel(TScanHost& host, int key);
// The enclosing span level of a style for the highlighter whose key base is
// given: the scope level of a span of its own list; one level less for a span
// of another list of the host's chain; 32767 under a keyword.
int EnclosingLevel(const TDynInfo& style, int base, const TStartStopKeyList* own, TScanHost& host);
// Clamps a key length into the 8-bit length fields of a run.
uint8_t KeyLengthField(int length);
// The run of a keyword match of `length` units, nested on `style`: the
// entry's style and colours, the next key level holding the keyword's index.
TDynInfo KeywordRun(const TDynInfo& style, uint8_t entryStyle, TColor background, TColor foreground, int32_t contextNum,
                    int16_t cursor, int index, int length);
// The number of a number run of `length` units nested on the style numbered
// styleId: Kind `kind`, the colours and context given, the next key level
// holding the keyword base; found in the table's cache when repeated.
uint32_t NumberRunId(TStyleTable& styles, uint32_t styleId, uint8_t kind, TColor background, TColor foreground,
                     int32_t contextNum, int keywordBase, int length);
// The number of that run (with bit 7 set, as ApplyRun stores it) for the
// style numbered styleId; repeated keywords are found in the table's cache.
uint32_t KeywordRunId(TStyleTable& styles, uint32_t styleId, uint8_t entryStyle, TColor background, TColor foreground,
                      int32_t contextNum, int16_t cursor, int index, int length);

// Text of one paragraph with what the passes derive from it, each made once
// on demand: the case-folded copy and the words between separators.
class TParagraphText {
 public:
  struct Word {
    int32_t Start;
    int32_t Length;
    uint64_t PlainHash;
    uint64_t FoldedHash;
  };

  TParagraphText() = default;
  TParagraphText(const TParagraphsList& list, int par) { Reset(list.TextView(par)); }
  void Reset(std::u16string_view text);
  std::u16string_view Plain() const { return text_; }
  // The cached copy is asked for by every pass over the paragraph: inline.
  std::u16string_view Folded(TpmUpperCase type) {
    return foldedType_ == static_cast<int>(type) ? std::u16string_view(folded_) : Fold(type);
  }
  // The words (maximal runs of units outside the separators), with hashes of
  // their folded units, and of their plain units when withPlain is set
  // (PlainHash is 0 otherwise).
  const std::vector<Word>& Words(const TCharSet& separators, TpmUpperCase type, bool withPlain = true) {
    if (wordsType_ == static_cast<int>(type) && (wordsPlain_ || !withPlain) && separatorTable_.Set() == separators)
      return words_;
    return SplitWords(separators, type, withPlain);
  }

 private:
  std::u16string_view Fold(TpmUpperCase type);
  const std::vector<Word>& SplitWords(const TCharSet& separators, TpmUpperCase type, bool withPlain);

  std::u16string_view text_;
  std::u16string folded_;
  int foldedType_ = -1;
  std::vector<Word> words_;
  TCharTable separatorTable_;  // of the separators the words were split by
  int wordsType_ = -1;
  bool wordsPlain_ = false;
};

// One paragraph under the passes: the editor, and the paragraph's runs held
// aside until Store.
class TScanPar {
 public:
  TScanPar(TScanHost& host, int par);
  TScanHost& Host() const { return host_; }
  TParagraphsList& List() const { return runs_->List(); }
  int Par() const { return par_; }
  TRunBuffer& Runs() const { return *runs_; }
  // Absolute position of the paragraph start.
  int32_t Start() const { return start_; }
  // The paragraph's text with its folded copy and words.
  TParagraphText& Text() const {
    // The text does not change under the passes; an event handler that looks
    // at another paragraph makes the editor's shared copy stale, so check it.
    return text_ != nullptr && text_->Plain().data() == textData_ ? *text_ : FetchText();
  }
  void Store() const { runs_->Store(); }
  // The chain's shared keyword lookup as found once for a long catch-up (see
  // TChainKeywordPlan); null outside one.
  TChainKeywordPlan* ChainPlan() const { return chainPlan_; }
  void SetChainPlan(TChainKeywordPlan* plan) { chainPlan_ = plan; }
  // The speed layers the passes over this paragraph may use.
  const TSpeedLayers& Layers() const { return *layers_; }
  void SetLayers(const TSpeedLayers& layers) { layers_ = &layers; }
  // The first position of the paragraph where a filter over all the chain's
  // lists found that a start key may begin; 0 when none was asked.
  int32_t FirstStart() const { return firstStart_; }
  void SetFirstStart(int32_t at) { firstStart_ = at; }

 private:
  TScanHost& host_;
  int par_;
  int32_t start_;
  TRunBufferLease runs_;
  const char16_t* textData_;
  mutable TParagraphText* text_ = nullptr;
  TChainKeywordPlan* chainPlan_ = nullptr;
  const TSpeedLayers* layers_ = &ProcessSpeedLayers();
  int32_t firstStart_ = 0;
  TParagraphText& FetchText() const;
};

// The stop-key search of one open span.
struct TStopSearch {
  const TStartStopKeyList* List = nullptr;
  int Entry = 0;  // local index of the span's entry
  const TCharSet* Separators = nullptr;
  bool Extended = false;                                                     // scope fields take part
  int Base = 0;                                                              // key base of the list
  std::function<bool(int32_t startKey, int32_t stopKey, int index)> OnStop;  // false rejects a hit
};
bool SearchStop(TScanPar& ps, int32_t from, bool fromPastRuns, int32_t& end, const TStopSearch& search);

// The start-key search of one list.
// The scope rules of a highlighter's keys apply when Extended is set;
// otherwise keys open only outside spans (keywords on top do not shield).
struct TStartSearch {
  const TStartStopKeyList* List = nullptr;
  const TCharSet* Separators = nullptr;
  bool Extended = false;
  int Base = 0;
  std::function<bool(int32_t startKey, int index)> OnStart;  // false rejects a match
};
bool SearchStart(TScanPar& ps, int32_t from, bool fromPastRuns, int32_t& end, const TStartSearch& search);

// The editor's scan.
bool FindStopKey(TScanPar& ps, int32_t from, bool fromPastRuns, int32_t& end);
bool FindStartKey(TScanPar& ps, int32_t from, bool fromPastRuns, int32_t& end);
// The start-stop pass over one whole paragraph, handing a changed end style on
// to the next paragraph (which is then parsed when needed).
void ParseSpans(TScanHost& host, int par);
// Parses every paragraph up to n that lacks its spans.
void ParseUpTo(TScanHost& host, int n);
// The keyword pass (chain first, then the editor's own list) over the paragraphs of from … to.
void ApplyKeywords(TScanHost& host, int32_t from, int32_t to);
// Parses spans up to b, then applies keywords to a … b where they are missing,
// with the speed layers given.
void ApplyKeywordsTo(TScanHost& host, int a, int b, const TSpeedLayers& layers = ProcessSpeedLayers());
// Paragraphs a catch-up must span before repeated ones are looked for.
constexpr int kRepeatedLinesMinParagraphs = 1024;
// Drops all runs and flags, so everything is highlighted afresh when needed.
void ResetHighlighting(TScanHost& host);
// Does all the lazy work at once: every paragraph parsed and keyworded.
void HighlightAll(TScanHost& host, const TSpeedLayers& layers = ProcessSpeedLayers());

}  // namespace scan
}  // namespace qm
