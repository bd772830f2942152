// Stored configuration text: objects with typed properties that configure editor components, its reader and writer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/highlight/StoredItems.h"

namespace qm {

// What a property value holds. Kept outside TStoredValue, like TStoredKind, so
// the member can be called Kind.
enum class TStoredValueKind : uint8_t { Item, Identifier, Set, List };

// A property value: one item (string, integer or boolean), an identifier (a
// reference to another object or an enumeration value, kept as text), a set of
// identifiers, or a list of items. Only the member named by Kind is meaningful.
struct TStoredValue {
  TStoredValueKind Kind = TStoredValueKind::Item;
  TStoredItem Item;
  std::string Identifier;
  std::vector<std::string> Set;
  TStoredItems List;

  static TStoredValue OfItem(TStoredItem item);
  static TStoredValue OfIdentifier(std::string identifier);
  static TStoredValue OfSet(std::vector<std::string> set);
  static TStoredValue OfList(TStoredItems list);

  bool operator==(const TStoredValue&) const = default;
};

struct TStoredProperty {
  std::string Name;  // may contain dots: "Keywords.Strings"
  TStoredValue Value;
  int Line = 0;  // 1-based line of "Name =" in the text read; 0 when built in code
};

struct TStoredObject {
  std::string Name;
  std::string ClassName;
  std::vector<TStoredProperty> Properties;
  int Line = 0;  // 1-based line of "object"; 0 when built in code

  // Names compare ASCII case-insensitively; nullptr when absent.
  const TStoredProperty* FindProperty(std::string_view name) const;
  const TStoredValue* Find(std::string_view name) const;
};

struct TStoredConfig {
  std::vector<TStoredObject> Objects;

  // Object names compare ASCII case-insensitively; nullptr when absent.
  const TStoredObject* Find(std::string_view name) const;
};

// Reads the text (UTF-8, an optional byte order mark, LF, CR LF or CR line
// breaks). Any malformed input raises EReadError "line N: <what is wrong>";
// duplicate object names and duplicate property names within an object are
// errors too. Strings become TStoredItem::WideString, integers
// TStoredItem::Integer in their smallest width.
TStoredConfig ParseStoredConfig(std::string_view utf8Text);

// Writes the text ParseStoredConfig reads, one property per line and long
// lists wrapped. Reading it back gives the same objects and values except that
// 8-bit strings come back as wide strings and integers in their smallest
// width. A name, class name, identifier or set element that would not read
// back (empty, not a name, or "True"/"False" as an identifier) raises
// Exception.
std::string WriteStoredConfig(const TStoredConfig& config);

// Reads and parses a file. EReadError "Cannot open file "<path>"" or "Cannot
// read file "<path>"" when it cannot be read; parse errors are prefixed with
// the path: "<path>: line N: ...".
TStoredConfig LoadStoredConfigFile(const std::string& path);

}  // namespace qm
