// Keyword lists of the editor and of extended highlighters: entries, derived match keys, stored and textual forms.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/highlight/KeyOptions.h"
#include "editor/highlight/StoredItems.h"
#include "editor/highlight/ValueStrings.h"
#include "editor/store/Types.h"

namespace qm {

// Options of a keyword entry: an 8-bit set of kwoMatchCase and kwoWholeWord;
// the other bits carry no meaning.
using TKeywordOptions = uint8_t;

// One keyword with the attributes a match receives. MatchKey and KeyLength
// are derived from Keyword by the list (see TKeywordList::SetUpdateState).
struct KeywordEntry {
  TKeywordOptions Options = 0;
  TFontStyleSet Style = 0;
  int32_t ContextNum = 0;  // 0: never matched
  int16_t Cursor = 0;
  TColor Background = clNone;
  TColor Foreground = clNone;
  std::u16string Keyword;
  std::u16string MatchKey;
  int32_t KeyLength = 0;
  int32_t ScopeContext = 0;  // extended lists: the context the keyword needs, 0 for none
  int32_t ScopeLevel = 0;    // extended lists: applies below this span level; kScopeEverywhere everywhere
  int32_t Tag = 0;           // only stored and loaded
};

// The display attributes of an entry, as GetKeywordAttributes hands them out.
struct TKeywordAttributes {
  TKeywordOptions Options = 0;
  TFontStyleSet Style = 0;
  int32_t ContextNum = 0;
  int16_t Cursor = 0;
  TColor Background = clNone;
  TColor Foreground = clNone;
  bool operator==(const TKeywordAttributes&) const = default;
};

// The editor's own keyword list, and at the same time a string list of the
// keyword texts. Entries keep insertion order; their position is their
// priority in the scan. Outside a begin/end update every change rebuilds the
// derived fields over the whole list; inside one, the rebuild waits for the
// outermost EndUpdate.
class TKeywordList {
 public:
  TKeywordList() = default;
  virtual ~TKeywordList() = default;
  TKeywordList(const TKeywordList&) = delete;
  TKeywordList& operator=(const TKeywordList&) = delete;

  // --- string-list view; indices outside the list raise ERangeError "List index out of bounds"
  int Count() const { return static_cast<int>(entries_.size()); }
  // The keyword of entry i in the 8-bit system code page.
  std::string Get(int index) const;
  // A new entry at index (0 … Count) with the 8-bit text s as keyword and
  // every attribute at its blank value (ContextNum 0: never highlighted).
  void Insert(int index, std::string_view s);
  void Delete(int index);
  void Clear();
  // Replaces the entries with copies of every field of source's entries.
  void Assign(const TKeywordList& source);
  // Replaces the entries with blank entries made through Insert.
  void Assign(const std::vector<std::string>& strings);
  void BeginUpdate();
  void EndUpdate();

  // --- entries
  // Appends an entry (extension fields 0) and returns its index.
  int AddKeyword(std::u16string_view keyword, TKeywordOptions options, TFontStyleSet style, int32_t contextNum,
                 int16_t cursor, TColor background, TColor foreground);
  TKeywordAttributes GetKeywordAttributes(int index) const;
  const KeywordEntry& Entry(int index) const;

  // --- derived state
  // Stores the update flag and, when it is false, rebuilds MatchKey,
  // KeyLength, MaxKeyLength and HasFoldedKeys. BeginUpdate/EndUpdate call it.
  void SetUpdateState(bool updating);
  bool Updating() const { return updating_; }
  int32_t MaxKeyLength() const { return maxKeyLength_; }
  bool HasFoldedKeys() const { return hasFoldedKeys_; }
  // Grows on every rebuild of the derived fields and every change of an
  // entry, so that something built from the list can tell it is stale.
  uint32_t ChangeCount() const { return changeCount_; }

  TpmUpperCase UpperCaseType() const { return upperCaseType_; }
  void SetUpperCaseType(TpmUpperCase value);

  // Lets the editor's own keyword scan run inside keyword marks.
  bool NestKeywords() const { return nestKeywords_; }
  void SetNestKeywords(bool value) { nestKeywords_ = value; }

  // --- the stored list property "Strings"
  bool HasData() const { return !entries_.empty(); }
  // Clears the list and reads the entries, in the full format or the older
  // short one. Raises EReadError "Invalid property value" on a malformed list.
  void ReadData(const TStoredItems& items);
  // Always the full format.
  TStoredItems WriteData() const;

  // --- the textual form: "keyword=Options,Style,ContextNum,Cursor,Background,Foreground,ScopeContext,ScopeLevel,"
  // Clears the list and adds one entry per line that holds "=". A bad number
  // raises EConvertError; the entries read before it stay.
  void LoadFromValueStrings(const TValueStrings& lines);
  // Sets the value of the line named by each keyword (Tag is not written).
  void SaveToValueStrings(TValueStrings& lines) const;

 protected:
  // Adds the entry of one textual line whose keyword is already split off.
  virtual void AddValueLine(std::u16string_view keyword, TNumberReader& numbers);
  KeywordEntry& MutableEntry(int index);
  void EntriesChanged() { ++changeCount_; }

 private:
  void CheckIndex(int index, int limit) const;
  void Rebuild();

  std::vector<std::unique_ptr<KeywordEntry>> entries_;
  int updateCount_ = 0;
  bool updating_ = false;
  TpmUpperCase upperCaseType_ = pmuAscii;
  int32_t maxKeyLength_ = 0;
  bool hasFoldedKeys_ = false;
  bool nestKeywords_ = false;
  uint32_t changeCount_ = 0;
};

// The keyword list of an extended highlighter: every entry also carries the
// scope fields, and the textual form may hold them.
class TExtKeywordList : public TKeywordList {
 public:
  // Parameter order and 16-bit widths as the vocabulary loader passes them;
  // ContextNum is widened with its sign.
  int AddExtKeyword(std::u16string_view keyword, TKeywordOptions options, TFontStyleSet style, int16_t contextNum,
                    int16_t scopeContext, int16_t scopeLevel, int16_t cursor, TColor background, TColor foreground);
  // Write one field of one entry; the text is not rescanned.
  void SetKeywordScopeContext(int index, int32_t value);
  void SetKeywordScopeLevel(int index, int32_t value);

 protected:
  // Six numbers, then ScopeContext and ScopeLevel when text remains.
  void AddValueLine(std::u16string_view keyword, TNumberReader& numbers) override;
};

}  // namespace qm
