// Typed item lists of stored list properties ("Keywords.Strings", "StartStopKeys.Keys"): items, reader and writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qm {

enum class TStoredKind : uint8_t { String, WideString, Integer, Boolean };

// One item: an 8-bit string, a wide string, an integer (8, 16 or 32 bits) or a boolean.
struct TStoredItem {
  TStoredKind Kind = TStoredKind::Integer;
  std::string Ansi;
  std::u16string Wide;
  int32_t Int = 0;
  uint8_t IntBits = 32;
  bool Bool = false;

  static TStoredItem Integer(int32_t value);  // in the smallest width that holds it
  static TStoredItem Integer(int32_t value, uint8_t bits);
  static TStoredItem WideString(std::u16string text);
  static TStoredItem String(std::string ansi);
  static TStoredItem Boolean(bool value);

  bool IsString() const { return Kind == TStoredKind::String || Kind == TStoredKind::WideString; }
  bool operator==(const TStoredItem&) const = default;
};

using TStoredItems = std::vector<TStoredItem>;

// Reads a list item by item; a type mismatch or a read past the end raises
// EReadError "Invalid property value".
class TStoredReader {
 public:
  explicit TStoredReader(const TStoredItems& items) : items_(items) {}
  bool EndOfList() const { return at_ >= items_.size(); }
  bool NextIsInteger() const { return !EndOfList() && items_[at_].Kind == TStoredKind::Integer; }
  bool NextIsBoolean() const { return !EndOfList() && items_[at_].Kind == TStoredKind::Boolean; }
  bool NextIsString() const { return !EndOfList() && items_[at_].IsString(); }
  // A wide string, or an 8-bit string converted from the system code page.
  std::u16string ReadString();
  int32_t ReadInteger();
  bool ReadBoolean();

 private:
  const TStoredItem& Next(bool ok);
  const TStoredItems& items_;
  size_t at_ = 0;
};

// Writes a list: strings as wide strings, integers in their smallest width.
class TStoredWriter {
 public:
  void WriteString(const std::u16string& text) { Items.push_back(TStoredItem::WideString(text)); }
  void WriteInteger(int32_t value) { Items.push_back(TStoredItem::Integer(value)); }
  void WriteBoolean(bool value) { Items.push_back(TStoredItem::Boolean(value)); }
  TStoredItems Items;
};

}  // namespace qm
