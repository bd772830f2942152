// Keyword lists: string-list view, derived match keys, stored list property and textual form.
#include "editor/highlight/KeywordList.h"

#include <algorithm>

#include "editor/store/CaseFolding.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"

namespace qm {

namespace {

// Bit 7 of the stored Options marks the full format; it never reaches an entry.
constexpr int32_t kFullFormatMark = 128;

// Keeps a begin/end update open for a scope, so that a failed read still ends
// the update and leaves the derived fields of what was read up to date.
class TUpdateScope {
 public:
  explicit TUpdateScope(TKeywordList& list) : list_(list) { list_.BeginUpdate(); }
  ~TUpdateScope() { list_.EndUpdate(); }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;

 private:
  TKeywordList& list_;
};

std::u16string Decimal(int32_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

// --- string-list view

void TKeywordList::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) throw ERangeError();
}

std::string TKeywordList::Get(int index) const { return WideToAnsi(Entry(index).Keyword); }

void TKeywordList::Insert(int index, std::string_view s) {
  CheckIndex(index, Count() + 1);
  auto entry = std::make_unique<KeywordEntry>();
  entry->Keyword = AnsiToWide(s);
  entries_.insert(entries_.begin() + index, std::move(entry));
  EntriesChanged();
  SetUpdateState(updating_);
}

void TKeywordList::Delete(int index) {
  CheckIndex(index, Count());
  entries_.erase(entries_.begin() + index);
  EntriesChanged();
  SetUpdateState(updating_);
}

void TKeywordList::Clear() {
  entries_.clear();
  EntriesChanged();
  SetUpdateState(updating_);
}

void TKeywordList::Assign(const TKeywordList& source) {
  if (&source == this) return;
  TUpdateScope update(*this);
  Clear();
  for (const auto& entry : source.entries_) entries_.push_back(std::make_unique<KeywordEntry>(*entry));
  EntriesChanged();
}

void TKeywordList::Assign(const std::vector<std::string>& strings) {
  TUpdateScope update(*this);
  Clear();
  for (const std::string& s : strings) Insert(Count(), s);
}

void TKeywordList::BeginUpdate() {
  if (updateCount_++ == 0) SetUpdateState(true);
}

void TKeywordList::EndUpdate() {
  if (updateCount_ == 0) return;  // an unmatched EndUpdate must not reopen the count
  if (--updateCount_ == 0) SetUpdateState(false);
}

// --- entries

int TKeywordList::AddKeyword(std::u16string_view keyword, TKeywordOptions options, TFontStyleSet style,
                             int32_t contextNum, int16_t cursor, TColor background, TColor foreground) {
  auto entry = std::make_unique<KeywordEntry>();
  entry->Options = options;
  entry->Style = style;
  entry->ContextNum = contextNum;
  entry->Cursor = cursor;
  entry->Background = background;
  entry->Foreground = foreground;
  entry->Keyword = std::u16string(keyword);
  const int index = Count();
  entries_.push_back(std::move(entry));
  EntriesChanged();
  SetUpdateState(updating_);
  return index;
}

TKeywordAttributes TKeywordList::GetKeywordAttributes(int index) const {
  const KeywordEntry& e = Entry(index);
  return {e.Options, e.Style, e.ContextNum, e.Cursor, e.Background, e.Foreground};
}

const KeywordEntry& TKeywordList::Entry(int index) const {
  CheckIndex(index, Count());
  return *entries_[static_cast<size_t>(index)];
}

KeywordEntry& TKeywordList::MutableEntry(int index) {
  CheckIndex(index, Count());
  return *entries_[static_cast<size_t>(index)];
}

// --- derived state

void TKeywordList::SetUpdateState(bool updating) {
  updating_ = updating;
  if (!updating) Rebuild();
}

// The whole list is folded again on every rebuild; callers that add many
// entries wrap them in an update so this runs once.
void TKeywordList::Rebuild() {
  hasFoldedKeys_ = false;
  maxKeyLength_ = 0;
  for (const auto& entry : entries_) {
    KeywordEntry& e = *entry;
    e.KeyLength = static_cast<int32_t>(e.Keyword.size());
    maxKeyLength_ = std::max(maxKeyLength_, e.KeyLength);
    e.MatchKey = e.Keyword;
    if ((e.Options & kwoMatchCase) == 0) {
      hasFoldedKeys_ = true;
      FoldCase(e.MatchKey, upperCaseType_);
    }
  }
  ++changeCount_;
}

void TKeywordList::SetUpperCaseType(TpmUpperCase value) {
  if (value == upperCaseType_) return;
  upperCaseType_ = value;
  SetUpdateState(updating_);
}

// --- stored list property

void TKeywordList::ReadData(const TStoredItems& items) {
  TUpdateScope update(*this);
  Clear();
  TStoredReader reader(items);
  while (!reader.EndOfList()) {
    const std::u16string keyword = reader.ReadString();
    const int32_t options = reader.ReadInteger();
    const int32_t style = reader.ReadInteger();
    const int32_t contextNum = reader.ReadInteger();
    const int32_t cursor = reader.ReadInteger();
    const TColor background = reader.ReadInteger();
    const TColor foreground = reader.ReadInteger();
    int32_t scopeContext = 0, scopeLevel = 0, tag = 0;
    if ((options & kFullFormatMark) != 0) {
      scopeContext = reader.ReadInteger();
      scopeLevel = reader.ReadInteger();
      tag = reader.ReadInteger();
    } else if (reader.NextIsInteger()) {
      // The older short format stored only the two scope numbers, and only
      // when the list had them; the next keyword (a string) tells them apart.
      scopeContext = reader.ReadInteger();
      scopeLevel = reader.ReadInteger();
    }
    const int index =
        AddKeyword(keyword, static_cast<TKeywordOptions>(options & ~kFullFormatMark), static_cast<TFontStyleSet>(style),
                   contextNum, static_cast<int16_t>(cursor), background, foreground);
    KeywordEntry& e = MutableEntry(index);
    e.ScopeContext = scopeContext;
    e.ScopeLevel = scopeLevel;
    e.Tag = tag;
  }
}

TStoredItems TKeywordList::WriteData() const {
  TStoredWriter writer;
  for (const auto& entry : entries_) {
    const KeywordEntry& e = *entry;
    writer.WriteString(e.Keyword);
    writer.WriteInteger(e.Options | kFullFormatMark);
    writer.WriteInteger(e.Style);
    writer.WriteInteger(e.ContextNum);
    writer.WriteInteger(e.Cursor);
    writer.WriteInteger(e.Background);
    writer.WriteInteger(e.Foreground);
    writer.WriteInteger(e.ScopeContext);
    writer.WriteInteger(e.ScopeLevel);
    writer.WriteInteger(e.Tag);
  }
  return std::move(writer.Items);
}

// --- textual form

void TKeywordList::LoadFromValueStrings(const TValueStrings& lines) {
  TUpdateScope update(*this);
  Clear();
  for (const std::u16string& line : lines) {
    const size_t eq = line.find(u'=');
    if (eq == std::u16string::npos) continue;
    TNumberReader numbers(std::u16string_view(line).substr(eq + 1));
    AddValueLine(std::u16string_view(line).substr(0, eq), numbers);
  }
}

void TKeywordList::AddValueLine(std::u16string_view keyword, TNumberReader& numbers) {
  const int32_t options = numbers.Next();
  const int32_t style = numbers.Next();
  const int32_t contextNum = numbers.Next();
  const int32_t cursor = numbers.Next();
  const TColor background = numbers.Next();
  const TColor foreground = numbers.Next();
  AddKeyword(keyword, static_cast<TKeywordOptions>(options), static_cast<TFontStyleSet>(style), contextNum,
             static_cast<int16_t>(cursor), background, foreground);
}

void TKeywordList::SaveToValueStrings(TValueStrings& lines) const {
  for (const auto& entry : entries_) {
    const KeywordEntry& e = *entry;
    std::u16string value;
    for (int32_t number :
         {static_cast<int32_t>(e.Options & ~kFullFormatMark), static_cast<int32_t>(e.Style), e.ContextNum,
          static_cast<int32_t>(e.Cursor), e.Background, e.Foreground, e.ScopeContext, e.ScopeLevel}) {
      value += Decimal(number);
      value += u',';
    }
    SetValue(lines, e.Keyword, value);
  }
}

// --- extended list

int TExtKeywordList::AddExtKeyword(std::u16string_view keyword, TKeywordOptions options, TFontStyleSet style,
                                   int16_t contextNum, int16_t scopeContext, int16_t scopeLevel, int16_t cursor,
                                   TColor background, TColor foreground) {
  const int index = AddKeyword(keyword, options, style, contextNum, cursor, background, foreground);
  SetKeywordScopeContext(index, scopeContext);
  SetKeywordScopeLevel(index, scopeLevel);
  return index;
}

void TExtKeywordList::SetKeywordScopeContext(int index, int32_t value) {
  MutableEntry(index).ScopeContext = value;
  EntriesChanged();
}

void TExtKeywordList::SetKeywordScopeLevel(int index, int32_t value) {
  MutableEntry(index).ScopeLevel = value;
  EntriesChanged();
}

void TExtKeywordList::AddValueLine(std::u16string_view keyword, TNumberReader& numbers) {
  const int32_t options = numbers.Next();
  const int32_t style = numbers.Next();
  const int32_t contextNum = numbers.Next();
  const int32_t cursor = numbers.Next();
  const TColor background = numbers.Next();
  const TColor foreground = numbers.Next();
  int32_t scopeContext = 0, scopeLevel = 0;
  if (!numbers.AtEnd()) {
    scopeContext = numbers.Next();
    scopeLevel = numbers.Next();
  }
  // The 16-bit parameters of AddExtKeyword cut the numbers as the loader always did.
  AddExtKeyword(keyword, static_cast<TKeywordOptions>(options), static_cast<TFontStyleSet>(style),
                static_cast<int16_t>(contextNum), static_cast<int16_t>(scopeContext), static_cast<int16_t>(scopeLevel),
                static_cast<int16_t>(cursor), background, foreground);
}

}  // namespace qm
