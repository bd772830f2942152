// The editor control's option set, in declaration order (the stored bit order).
#pragma once

#include <cstdint>
#include <initializer_list>

namespace qm {

enum TPlusMemoOption : uint8_t {
  pmoKeepColumnPos,
  pmoPutExtraSpaces,
  pmoWrapCaret,
  pmoInsertKeyActive,
  pmoWideOverwriteCaret,
  pmoLargeWordSelect,
  pmoAutoScrollBars,
  pmoNoDragnDrop,
  pmoAutoIndent,
  pmoBackIndent,
  pmoWindowsSelColors,
  pmoFullLineSelect,
  pmoDiscardTrailingSpaces,
  pmoNoFineScroll,
  pmoNoLineSelection,
  pmoNoDefaultPopup,
  pmoBlockSelection,
  pmoAutoLineBreak,
  pmoPlainClipboard,
  pmoPersistentBlocks,
  pmoNoOverwriteBlocks,
  pmoSmartTabs,
};

// A set of options stored as bits in declaration order.
class TPlusMemoOptions {
 public:
  constexpr TPlusMemoOptions() = default;
  constexpr TPlusMemoOptions(std::initializer_list<TPlusMemoOption> options) {
    for (auto o : options) bits_ |= Bit(o);
  }
  constexpr bool Contains(TPlusMemoOption o) const { return (bits_ & Bit(o)) != 0; }
  constexpr void Include(TPlusMemoOption o) { bits_ |= Bit(o); }
  constexpr void Exclude(TPlusMemoOption o) { bits_ &= ~Bit(o); }
  constexpr uint32_t Bits() const { return bits_; }
  constexpr bool operator==(const TPlusMemoOptions&) const = default;

 private:
  static constexpr uint32_t Bit(TPlusMemoOption o) { return 1u << static_cast<unsigned>(o); }
  uint32_t bits_ = 0;
};

}  // namespace qm
