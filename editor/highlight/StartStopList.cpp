// Start-stop key lists: adding, folding, boundary flags, matching and the two stored forms.
#include "editor/highlight/StartStopList.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <unordered_map>

#include "editor/store/CaseFolding.h"
#include "platform/Exceptions.h"

namespace qm {

namespace {

constexpr size_t kMaxKeyLength = UINT16_MAX;
constexpr uint8_t kFullFormatMark = 0x80;

bool NeedsSeparator(bool wholeWord, std::u16string_view key, bool atEnd, const TCharSet& separators) {
  if (!wholeWord || key.empty()) return false;
  return !separators.Contains(atEnd ? key.back() : key.front());
}

// The key compared at pos of text; the ends of text stand in for separators.
bool KeyAt(std::u16string_view key, std::u16string_view text, size_t pos, bool sepBefore, bool sepAfter,
           const TCharSet& separators) {
  if (key.empty() || pos > text.size() || text.size() - pos < key.size()) return false;
  if (text.compare(pos, key.size(), key) != 0) return false;
  if (sepBefore && pos > 0 && !separators.Contains(text[pos - 1])) return false;
  const size_t end = pos + key.size();
  if (sepAfter && end < text.size() && !separators.Contains(text[end])) return false;
  return true;
}

void AppendNumber(std::u16string& out, int32_t value) {
  for (char c : std::to_string(value)) out.push_back(static_cast<char16_t>(c));
  out.push_back(u',');
}

}  // namespace

TStartStopKeyList::TStartStopKeyList() : records_(sizeof(StartStopEntry), sizeof(StartStopEntry)) {}

TStartStopKeyList::~TStartStopKeyList() { FreeTexts(); }

StartStopEntry& TStartStopKeyList::MutableEntry(int index) {
  return *reinterpret_cast<StartStopEntry*>(records_.Items(index));
}

const StartStopEntry& TStartStopKeyList::EntryForMatch(size_t entry) const {
  if (entry > static_cast<size_t>(INT_MAX)) throw ERangeError();
  return Entry(static_cast<int>(entry));
}

void TStartStopKeyList::FoldMatchTexts(StartStopEntry& entry) const {
  const size_t keys = static_cast<size_t>(entry.StartLength) + entry.StopLength;
  char16_t* match = entry.Texts + keys;
  std::memcpy(match, entry.Texts, keys * sizeof(char16_t));
  if ((entry.Options & kwoMatchCase) == 0) FoldCase(match, keys, upperCaseType_);
}

int TStartStopKeyList::AddStartStopKey(std::u16string_view startKey, std::u16string_view stopKey, uint8_t options,
                                       uint8_t style, int32_t contextNum, int16_t cursor, TColor background,
                                       TColor foreground, bool stopAtParEnd) {
  startKey = startKey.substr(0, kMaxKeyLength);
  stopKey = stopKey.substr(0, kMaxKeyLength);

  StartStopEntry entry;
  entry.Options = options;
  entry.Style = style;
  entry.ContextNum = contextNum;
  entry.Cursor = cursor;
  entry.Background = background;
  entry.Foreground = foreground;
  entry.StartLength = static_cast<uint16_t>(startKey.size());
  entry.StopLength = static_cast<uint16_t>(stopKey.size());
  entry.StopAtParEnd = stopAtParEnd;

  const size_t keys = startKey.size() + stopKey.size();
  if (keys > 0) {
    entry.Texts = new char16_t[2 * keys];
    std::copy(startKey.begin(), startKey.end(), entry.Texts);
    std::copy(stopKey.begin(), stopKey.end(), entry.Texts + startKey.size());
    FoldMatchTexts(entry);
  }

  // ParentKey is 16 bits wide, so only the first 32768 entries can be parents.
  const int candidates = std::min(Count(), INT16_MAX + 1);
  for (int i = 0; i < candidates; ++i) {
    const StartStopEntry& other = Entry(i);
    if (other.Options == options && other.StartMatch() == entry.StartMatch()) {
      entry.ParentKey = static_cast<int16_t>(i);
      break;
    }
  }

  maxStartLength_ = std::max<int>(maxStartLength_, entry.StartLength);
  maxStopLength_ = std::max<int>(maxStopLength_, entry.StopLength);
  // A span that ends at the paragraph end must see the two break positions.
  if (stopAtParEnd) maxStopLength_ = std::max(maxStopLength_, 2);

  separatorsComputed_ = false;
  firstUnits_.valid = false;
  return records_.Add(&entry);
}

void TStartStopKeyList::FreeTexts() {
  records_.ForRange(0, records_.Count, [](uint8_t* record) {
    auto* entry = reinterpret_cast<StartStopEntry*>(record);
    delete[] entry->Texts;
    entry->Texts = nullptr;
  });
}

void TStartStopKeyList::Clear() {
  FreeTexts();
  records_.SetCount(0);
  records_.SetCapacity(0);
  maxStartLength_ = 0;
  maxStopLength_ = 0;
  separatorsComputed_ = false;
  firstUnits_.valid = false;
}

void TStartStopKeyList::SetScopeContext(int index, int32_t value) { MutableEntry(index).ScopeContext = value; }

void TStartStopKeyList::SetScopeLevel(int index, int32_t value) { MutableEntry(index).ScopeLevel = value; }

void TStartStopKeyList::SetTag(int index, int32_t value) { MutableEntry(index).Tag = value; }

void TStartStopKeyList::SetUpperCaseType(TpmUpperCase value) {
  if (value == upperCaseType_) return;
  upperCaseType_ = value;
  firstUnits_.valid = false;
  records_.ForRange(0, records_.Count, [this](uint8_t* record) {
    auto* entry = reinterpret_cast<StartStopEntry*>(record);
    if (entry->Texts != nullptr && (entry->Options & kwoMatchCase) == 0) FoldMatchTexts(*entry);
  });
}

const TStartStopKeyList::TFirstUnits& TStartStopKeyList::BuildFirstUnits() const {
  firstUnits_ = TFirstUnits{};
  for (int e = 0; e < Count(); ++e) {
    const StartStopEntry& entry = Entry(e);
    if (entry.StartLength == 0) continue;
    if (entry.Options & kwoMatchCase) {
      firstUnits_.plain.Add(entry.StartMatch()[0]);
    } else {
      firstUnits_.folded.Add(entry.StartMatch()[0]);
      firstUnits_.anyFolded = true;
    }
  }
  // A routine the program installs may fold a unit by its neighbours.
  if (upperCaseType_ != pmuUserDefined && Count() > 0) BuildCandidates();
  firstUnits_.valid = true;
  return firstUnits_;
}

void TStartStopKeyList::BuildCandidates() const {
  // Per unit value, the set of entries whose first unit it can be; equal
  // sets share one number, 0 being the empty set.
  firstUnits_.candidates = std::shared_ptr<uint8_t[]>(new uint8_t[65536]);
  firstUnits_.masks.assign(1, 0);
  const bool wide = Count() > 64;
  struct First {
    char16_t Unit;
    bool MatchCase;
    uint64_t Bit;
  };
  std::vector<First> firsts;
  for (int e = 0; e < Count(); ++e) {
    const StartStopEntry& entry = Entry(e);
    if (entry.StartLength > 0)
      firsts.push_back(
          First{entry.StartMatch()[0], (entry.Options & kwoMatchCase) != 0, wide ? ~uint64_t{0} : uint64_t{1} << e});
  }
  std::vector<char16_t> foldedUnits(65536);
  for (unsigned u = 0; u < 65536; ++u) foldedUnits[u] = static_cast<char16_t>(u);
  if (firstUnits_.anyFolded) FoldCase(foldedUnits.data(), foldedUnits.size(), upperCaseType_);
  std::unordered_map<uint64_t, uint8_t> numbers;
  for (unsigned u = 0; u < 65536; ++u) {
    const auto unit = static_cast<char16_t>(u);
    uint64_t mask = 0;
    for (const First& f : firsts)
      if (f.Unit == (f.MatchCase ? unit : foldedUnits[u])) mask |= f.Bit;
    if (mask == 0) {
      firstUnits_.candidates[u] = 0;
      continue;
    }
    auto [it, added] = numbers.emplace(mask, static_cast<uint8_t>(firstUnits_.masks.size()));
    if (added && firstUnits_.masks.size() == 256) {
      // Out of numbers: the last one stands for every entry.
      firstUnits_.masks.back() = ~uint64_t{0};
      it->second = 255;
    } else if (added) {
      firstUnits_.masks.push_back(mask);
    }
    firstUnits_.candidates[u] = it->second;
  }
}

void TStartStopKeyList::ComputeSeparators(const TCharSet& separators) {
  records_.ForRange(0, records_.Count, [&separators](uint8_t* record) {
    auto* entry = reinterpret_cast<StartStopEntry*>(record);
    const bool wholeWord = (entry->Options & kwoWholeWord) != 0;
    entry->NeedSepAfterStart = NeedsSeparator(wholeWord, entry->StartText(), true, separators);
    entry->NeedSepBeforeStart = NeedsSeparator(wholeWord, entry->StartText(), false, separators);
    entry->NeedSepAfterStop = NeedsSeparator(wholeWord, entry->StopText(), true, separators);
    entry->NeedSepBeforeStop = NeedsSeparator(wholeWord, entry->StopText(), false, separators);
  });
  separatorsComputed_ = true;
}

bool TStartStopKeyList::StartMatchesAt(size_t entry, std::u16string_view unfolded, std::u16string_view folded,
                                       size_t pos, const TCharSet& separators) const {
  const StartStopEntry& e = EntryForMatch(entry);
  const bool wholeWord = (e.Options & kwoWholeWord) != 0;
  const bool before =
      separatorsComputed_ ? e.NeedSepBeforeStart : NeedsSeparator(wholeWord, e.StartText(), false, separators);
  const bool after =
      separatorsComputed_ ? e.NeedSepAfterStart : NeedsSeparator(wholeWord, e.StartText(), true, separators);
  return KeyAt(e.StartMatch(), (e.Options & kwoMatchCase) ? unfolded : folded, pos, before, after, separators);
}

bool TStartStopKeyList::StopMatchesAt(size_t entry, std::u16string_view unfolded, std::u16string_view folded,
                                      size_t pos, const TCharSet& separators) const {
  const StartStopEntry& e = EntryForMatch(entry);
  const bool wholeWord = (e.Options & kwoWholeWord) != 0;
  const bool before =
      separatorsComputed_ ? e.NeedSepBeforeStop : NeedsSeparator(wholeWord, e.StopText(), false, separators);
  const bool after =
      separatorsComputed_ ? e.NeedSepAfterStop : NeedsSeparator(wholeWord, e.StopText(), true, separators);
  return KeyAt(e.StopMatch(), (e.Options & kwoMatchCase) ? unfolded : folded, pos, before, after, separators);
}

int TStartStopKeyList::FindContinuation(int index, bool extended) const {
  const StartStopEntry& closing = Entry(index);
  for (int i = index + 1; i < Count(); ++i) {
    const StartStopEntry& e = Entry(i);
    if (e.ParentKey != index) continue;
    if (extended && (e.ScopeContext != closing.ScopeContext || e.ScopeLevel != closing.ScopeLevel)) continue;
    return i;
  }
  return -1;
}

void TStartStopKeyList::LoadFromValueStrings(const TValueStrings* strings) {
  Clear();
  if (strings == nullptr) return;
  for (const std::u16string& line : *strings) {
    const size_t eq = line.find(u'=');
    if (eq == std::u16string::npos) continue;
    const std::u16string_view name = std::u16string_view(line).substr(0, eq);
    TNumberReader reader(std::u16string_view(line).substr(eq + 1));
    int32_t numbers[7];
    for (int32_t& n : numbers) n = reader.Next();
    const size_t bar = name.find(u'|');
    const std::u16string_view startKey = name.substr(0, bar);
    const std::u16string_view stopKey = bar == std::u16string_view::npos ? std::u16string_view() : name.substr(bar + 1);
    AddLoadedKey(startKey, stopKey, numbers, reader);
  }
}

void TStartStopKeyList::AddLoadedKey(std::u16string_view startKey, std::u16string_view stopKey,
                                     const int32_t (&numbers)[7], TNumberReader&) {
  AddStartStopKey(startKey, stopKey, static_cast<uint8_t>(numbers[0]), static_cast<uint8_t>(numbers[1]), numbers[2],
                  static_cast<int16_t>(numbers[3]), numbers[4], numbers[5], numbers[6] != 0);
}

void TStartStopKeyList::SaveToValueStrings(TValueStrings& strings) const {
  for (int i = 0; i < Count(); ++i) {
    const StartStopEntry& e = Entry(i);
    std::u16string name(e.StartText());
    name += u'|';
    name += e.StopText();
    std::u16string value;
    for (int32_t n : {int32_t{e.Options}, int32_t{e.Style}, e.ContextNum, int32_t{e.Cursor}, e.Background, e.Foreground,
                      int32_t{e.StopAtParEnd ? 1 : 0}, e.ScopeContext, e.ScopeLevel})
      AppendNumber(value, n);
    SetValue(strings, name, value);
  }
}

void TStartStopKeyList::ReadKeys(TStoredReader& reader) {
  Clear();
  while (!reader.EndOfList()) {
    const std::u16string startKey = reader.ReadString();
    const std::u16string stopKey = reader.ReadString();
    const int32_t options = reader.ReadInteger();
    const int32_t style = reader.ReadInteger();
    const int32_t contextNum = reader.ReadInteger();
    const int32_t cursor = reader.ReadInteger();
    const int32_t background = reader.ReadInteger();
    const int32_t foreground = reader.ReadInteger();
    int32_t scopeContext = 0;
    int32_t scopeLevel = 0;
    int32_t tag = 0;
    // The older format put the scope between the colours and the boolean.
    if (reader.NextIsInteger()) {
      scopeContext = reader.ReadInteger();
      scopeLevel = reader.ReadInteger();
    }
    const bool stopAtParEnd = reader.ReadBoolean();
    if (options & kFullFormatMark) {
      scopeContext = reader.ReadInteger();
      scopeLevel = reader.ReadInteger();
      tag = reader.ReadInteger();
    }
    const int index = AddStartStopKey(startKey, stopKey, static_cast<uint8_t>(options & ~kFullFormatMark),
                                      static_cast<uint8_t>(style), contextNum, static_cast<int16_t>(cursor), background,
                                      foreground, stopAtParEnd);
    StartStopEntry& e = MutableEntry(index);
    e.ScopeContext = scopeContext;
    e.ScopeLevel = scopeLevel;
    e.Tag = tag;
  }
  separatorsComputed_ = false;
  firstUnits_.valid = false;
}

void TStartStopKeyList::WriteKeys(TStoredWriter& writer) const {
  for (int i = 0; i < Count(); ++i) {
    const StartStopEntry& e = Entry(i);
    writer.WriteString(std::u16string(e.StartText()));
    writer.WriteString(std::u16string(e.StopText()));
    writer.WriteInteger(e.Options | kFullFormatMark);
    writer.WriteInteger(e.Style);
    writer.WriteInteger(e.ContextNum);
    writer.WriteInteger(e.Cursor);
    writer.WriteInteger(e.Background);
    writer.WriteInteger(e.Foreground);
    writer.WriteBoolean(e.StopAtParEnd);
    writer.WriteInteger(e.ScopeContext);
    writer.WriteInteger(e.ScopeLevel);
    writer.WriteInteger(e.Tag);
  }
}

int TExtStartStopList::AddExtStartStopKey(std::u16string_view startKey, std::u16string_view stopKey, uint8_t options,
                                          uint8_t style, int16_t contextNum, int16_t scopeContext, int16_t scopeLevel,
                                          int16_t cursor, TColor background, TColor foreground, bool stopAtParEnd) {
  const int index =
      AddStartStopKey(startKey, stopKey, options, style, contextNum, cursor, background, foreground, stopAtParEnd);
  SetScopeContext(index, scopeContext);
  SetScopeLevel(index, scopeLevel);
  return index;
}

void TExtStartStopList::AddLoadedKey(std::u16string_view startKey, std::u16string_view stopKey,
                                     const int32_t (&numbers)[7], TNumberReader& rest) {
  int32_t scopeContext = 0;
  int32_t scopeLevel = 0;
  if (!rest.AtEnd()) {
    scopeContext = rest.Next();
    scopeLevel = rest.Next();
  }
  AddExtStartStopKey(startKey, stopKey, static_cast<uint8_t>(numbers[0]), static_cast<uint8_t>(numbers[1]),
                     static_cast<int16_t>(numbers[2]), static_cast<int16_t>(scopeContext),
                     static_cast<int16_t>(scopeLevel), static_cast<int16_t>(numbers[3]), numbers[4], numbers[5],
                     numbers[6] != 0);
}

}  // namespace qm
