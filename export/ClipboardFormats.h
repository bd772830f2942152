// Numbers of clipboard formats registered by name, as the window system hands them out.
#pragma once

#include <cstdint>
#include <string>

namespace qm {

// The predefined 8-bit text format.
inline constexpr uint32_t cfText = 1;

// The number of the format named `name`: the same number for the same name
// (letter case ignored, as the window system does) for the whole run, from
// 0xC000 upward.
uint32_t RegisterClipboardFormat(const std::string& name);
// The name a number was registered under; "" for predefined or unknown numbers.
std::string ClipboardFormatName(uint32_t format);

}  // namespace qm
