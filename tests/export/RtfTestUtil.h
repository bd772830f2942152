// Helpers of the export tests: a script editor dressed as the main window's, its RTF, and fixture files.
#pragma once

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "HighlightUtil.h"
#include "editor/control/StringsViews.h"
#include "export/PlusToFormatU.h"
#include "platform/CodePage.h"

namespace qm::test {

inline std::string FixturePath(const std::string& name) {
  return std::string(QM_SOURCE_DIR) + "/tests/fixtures/rtf/" + name;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The main window's chain with a few words in every category, none of them
// a word of the block keys, in the templates' colours.
inline std::unique_ptr<THighlighterChain> FixtureChain() {
  auto chain = LoadHighlighterChain(ChainPath());
  std::array<std::vector<std::u16string>, 5> items;
  items[0] = {u"MessageBox"};
  items[1] = {u"short"};
  items[2] = {u"set", u"to"};
  items[3] = {u"GameMode"};
  items[4] = {u"player"};
  LoadVocabulary(*chain, items, nullptr);
  return chain;
}

// The script editor's fonts and colours: Courier New 10 pt in black on the
// system window colour, highlight colours black on white.
inline void DressAsScriptEditor(TPlusMemoU& memo) {
  memo.LayoutSettings.Font = TFontSpec{u"Courier New", 10, 0};
  memo.LayoutSettings.AltFont = TFontSpec{u"Courier New", 10, 0};
  memo.PaintSettings.FontColor = clBlack;
  memo.PaintSettings.Color = SystemColor(5);
  memo.PaintSettings.HighlightColor = clBlack;
  memo.PaintSettings.HighlightBackgnd = clWhite;
}

// 8-bit script text loaded as the open command loads it.
inline void LoadAnsi(TPlusMemoU& memo, const std::string& bytes) {
  TReadOnlyMemoryStream stream(bytes.data(), bytes.size());
  memo.Lines().LoadFromStream(stream);
}

inline std::string RtfOf(TPlusToRTFU& rtf) {
  TMemoryStream out;
  rtf.SaveToStream(out);
  return std::string(out.Bytes().begin(), out.Bytes().end());
}

}  // namespace qm::test
