// Helpers shared by the tests: UTF-16 literals from UTF-8, memos loaded from text.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

#include "editor/control/PlusMemoU.h"
#include "platform/CodePage.h"
#include "platform/Stream.h"

namespace qm::test {

inline std::u16string U(std::string_view utf8) { return Utf8ToWide(utf8); }

inline std::string S(std::u16string_view text) { return WideToUtf8(text); }

// A UTF-16 memory stream holding text.
inline TMemoryStream StreamOf(std::u16string_view text) {
  TMemoryStream stream;
  stream.Write(text.data(), text.size() * 2);
  stream.SetPosition(0);
  return stream;
}

inline void LoadText(TPlusMemoU& memo, std::u16string_view text) {
  TMemoryStream stream = StreamOf(text);
  memo.LoadFromStream(stream);
}

inline std::u16string SavedText(TPlusMemoU& memo) {
  TMemoryStream stream;
  memo.SaveToStream(stream);
  std::u16string out(stream.Bytes().size() / 2, u'\0');
  if (!out.empty()) std::memcpy(out.data(), stream.Bytes().data(), out.size() * 2);
  return out;
}

}  // namespace qm::test
