// Typed item lists.
#include "editor/highlight/StoredItems.h"

#include "platform/CodePage.h"
#include "platform/Exceptions.h"

namespace qm {

TStoredItem TStoredItem::Integer(int32_t value) {
  const uint8_t bits = (value >= -128 && value <= 127) ? 8 : (value >= -32768 && value <= 32767) ? 16 : 32;
  return Integer(value, bits);
}

TStoredItem TStoredItem::Integer(int32_t value, uint8_t bits) {
  TStoredItem item;
  item.Kind = TStoredKind::Integer;
  item.Int = value;
  item.IntBits = bits;
  return item;
}

TStoredItem TStoredItem::WideString(std::u16string text) {
  TStoredItem item;
  item.Kind = TStoredKind::WideString;
  item.Wide = std::move(text);
  return item;
}

TStoredItem TStoredItem::String(std::string ansi) {
  TStoredItem item;
  item.Kind = TStoredKind::String;
  item.Ansi = std::move(ansi);
  return item;
}

TStoredItem TStoredItem::Boolean(bool value) {
  TStoredItem item;
  item.Kind = TStoredKind::Boolean;
  item.Bool = value;
  return item;
}

const TStoredItem& TStoredReader::Next(bool ok) {
  if (!ok || EndOfList()) throw EReadError(kInvalidPropertyValue);
  return items_[at_++];
}

std::u16string TStoredReader::ReadString() {
  const TStoredItem& item = Next(NextIsString());
  return item.Kind == TStoredKind::WideString ? item.Wide : AnsiToWide(item.Ansi);
}

int32_t TStoredReader::ReadInteger() { return Next(NextIsInteger()).Int; }

bool TStoredReader::ReadBoolean() { return Next(NextIsBoolean()).Bool; }

}  // namespace qm
