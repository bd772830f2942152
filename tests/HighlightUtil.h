// Helpers of the highlighting tests: the main window's chain with a small vocabulary, and run dumps.
#pragma once

#include <memory>
#include <sstream>
#include <string>

#include "TestUtil.h"
#include "editor/control/PlusMemoU.h"
#include "editor/highlight/HighlighterChain.h"
#include "editor/highlight/Scan.h"

namespace qm::test {

// The attributes that must agree between two highlights of one text: offset,
// Kind, Level, key stack up to the level, context, colours and cursor of every
// run and of each paragraph's start style.
inline std::string RunSignature(const TParagraphsList& list) {
  std::string out;
  auto add = [&out](const TDynInfo& s, int32_t offset) {
    out += std::to_string(offset) + ":" + std::to_string(s.Kind) + "/" + std::to_string(s.Level) + "/" +
           std::to_string(s.ContextNum) + "/" + std::to_string(s.Background) + "/" + std::to_string(s.Foreground) +
           "/" + std::to_string(s.Cursor) + "[";
    for (int i = 0; i <= s.KeyLevel(); ++i) out += std::to_string(s.KeyStack[i]) + ",";
    out += "] ";
  };
  for (int p = 0; p < list.Count; ++p) {
    out += "\n#" + std::to_string(p) + " ";
    add(list.StartStyle(p), -1);
    for (int k = 0; k < list.RunCount(p); ++k) {
      const TDynInfo run = list.Run(p, k);
      add(run, run.Offset);
    }
  }
  return out;
}

inline std::string ChainPath() { return std::string(QM_SOURCE_DIR) + "/app/chain/HighlighterChain.cfg"; }

// The chain of the main window with a few words in every category.
inline std::unique_ptr<THighlighterChain> MainChain() {
  auto chain = LoadHighlighterChain(ChainPath());
  std::array<std::vector<std::u16string>, 5> items;
  items[0] = {u"Activate", u"AddItem", u"GetStage", u"SetStage", u"MessageBox", u"GetDistance", u"Enable"};
  items[1] = {u"short", u"long", u"float", u"ref"};
  items[2] = {u"set", u"to", u"if", u"elseif", u"else", u"endif", u"return", u"end", u"begin"};
  items[3] = {u"GameMode", u"MenuMode", u"OnActivate", u"OnLoad"};
  items[4] = {u"player", u"Gold001"};
  LoadVocabulary(*chain, items, nullptr);
  return chain;
}

// A script editor as the main window configures it, on the chain.
inline void ConfigureScriptEditor(TPlusMemoU& memo, THighlighterChain& chain) {
  memo.WordWrap = false;
  memo.TabStops = 2;
  memo.SetSeparators(TCharSet(u"\t\n\r $%&(),./:;<=>"));
  memo.SetHighlighter(chain.First());
}

// One line per run: paragraph, offset, Kind, Level, context, colours, cursor,
// key stack up to the level, key lengths; each paragraph's start style first.
inline std::string DumpRuns(const TParagraphsList& list, int par) {
  std::ostringstream out;
  auto style = [&out](const char* what, const TDynInfo& s) {
    out << what << " @" << s.Offset << " kind=" << int(s.Kind) << " lvl=" << int(s.Level) << " ctx=" << s.ContextNum
        << " bg=" << s.Background << " fg=" << s.Foreground << " cur=" << s.Cursor << " keys=";
    for (int i = 0; i <= s.KeyLevel(); ++i) out << s.KeyStack[i] << ",";
    out << " open=" << int(s.OpenKeyLength) << " close=" << int(s.CloseKeyLength) << "\n";
  };
  TDynInfo start = list.StartStyle(par);
  start.Offset = 0;
  style("start", start);
  for (int k = 0; k < list.RunCount(par); ++k) style("run", list.Run(par, k));
  return out.str();
}

inline std::string DumpAll(const TParagraphsList& list) {
  std::string out;
  for (int p = 0; p < list.Count; ++p) out += "paragraph " + std::to_string(p) + "\n" + DumpRuns(list, p);
  return out;
}

// The context of every character of paragraph par, as the caret reads it after the character.
inline std::vector<int32_t> Contexts(TPlusMemoU& memo, int par) {
  std::vector<int32_t> out;
  TPlusNavigatorU nav(&memo);
  const int32_t start = memo.ParagraphStart(par);
  for (int32_t i = 1; i <= memo.Paragraphs().Length(par); ++i) {
    nav.SetPos(start + i);
    out.push_back(nav.Context());
  }
  return out;
}

}  // namespace qm::test
