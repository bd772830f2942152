// The shipped sample files under data/: the vocabulary fills every category, help is found by item, user items are CR LF lines.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "editor/highlight/HighlighterChain.h"
#include "platform/CodePage.h"
#include "platform/XmlDom.h"

namespace qm {
namespace {

const std::string kData = std::string(QM_SOURCE_DIR) + "/data/";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::array<std::vector<std::u16string>, 5> Vocabulary() {
  TXmlDocument document;
  EXPECT_TRUE(document.Load(kData + "scriptitems.xml"));
  EXPECT_EQ(document.ParseErrorLine(), 0);
  return ReadVocabularyItems(document);
}

bool Contains(const std::vector<std::u16string>& items, std::u16string_view item) {
  return std::find(items.begin(), items.end(), item) != items.end();
}

bool HasCyrillic(std::u16string_view text) {
  return std::any_of(text.begin(), text.end(), [](char16_t c) { return c >= 0x0410 && c <= 0x044F; });
}

TEST(DataFiles, VocabularyFillsEveryCategoryWithDistinctWords) {
  const auto items = Vocabulary();
  std::set<std::u16string> seen;
  for (size_t c = 0; c < items.size(); ++c) {
    SCOPED_TRACE(VocabularyCategories()[c].TagPath);
    EXPECT_FALSE(items[c].empty());
    for (const std::u16string& item : items[c]) {
      // Every item must be usable as a help lookup and belong to one category only.
      EXPECT_TRUE(IsTagPath(WideToUtf8(item))) << WideToUtf8(item);
      EXPECT_TRUE(seen.insert(item).second) << "twice: " << WideToUtf8(item);
    }
  }
  const auto& [functions, variables, commands, blockTypes, parameters] = items;
  EXPECT_EQ(variables, (std::vector<std::u16string>{u"short", u"long", u"float", u"ref"}));
  for (const char16_t* word : {u"GameMode", u"MenuMode", u"OnActivate"}) EXPECT_TRUE(Contains(blockTypes, word));
  for (const char16_t* word : {u"if", u"elseif", u"else", u"endif", u"begin", u"end", u"ScriptName", u"scn"})
    EXPECT_TRUE(Contains(commands, word)) << WideToUtf8(word);
  for (const char16_t* word : {u"Activate", u"GetPos", u"GetPosition", u"GetItemCount"})
    EXPECT_TRUE(Contains(functions, word)) << WideToUtf8(word);
  EXPECT_GE(functions.size(), 200u);
  EXPECT_FALSE(parameters.empty());
}

// The help of an item as the message pane shows it: syntax line, then description.
struct Help {
  bool found = false;
  std::u16string syntax;
  std::u16string description;
};

Help LookUp(const TXmlDocument& help, const std::u16string& item) {
  Help result;
  const std::vector<TXmlNode> elements = help.SelectNodes(WideToUtf8(item));
  if (elements.empty()) return result;
  result.found = true;
  result.syntax = elements[0].Attribute("syntax");
  result.description = elements[0].Text();
  return result;
}

TEST(DataFiles, HelpIsFoundByItemInEveryCategory) {
  TXmlDocument help;
  ASSERT_TRUE(help.Load(kData + "help.xml"));
  EXPECT_EQ(help.ParseErrorLine(), 0);
  for (const char16_t* item :
       {u"GetPos", u"GetItemCount", u"short", u"ref", u"if", u"set", u"GameMode", u"MenuMode", u"OnActivate"}) {
    SCOPED_TRACE(WideToUtf8(item));
    const Help entry = LookUp(help, item);
    ASSERT_TRUE(entry.found);
    EXPECT_NE(entry.syntax.find(item), std::u16string::npos);
    EXPECT_TRUE(HasCyrillic(entry.description));
  }
  EXPECT_FALSE(LookUp(help, u"NoSuchItem").found);
}

TEST(DataFiles, EveryHelpEntryDescribesAVocabularyItem) {
  const auto items = Vocabulary();
  std::set<std::string> vocabulary;
  for (const auto& category : items)
    for (const std::u16string& item : category) vocabulary.insert(WideToUtf8(item));
  pugi::xml_document document;
  ASSERT_TRUE(document.load_file((kData + "help.xml").c_str()));
  size_t entries = 0;
  for (const pugi::xml_node& entry : document.document_element().children()) {
    if (entry.type() != pugi::node_element) continue;
    ++entries;
    SCOPED_TRACE(entry.name());
    EXPECT_EQ(vocabulary.count(entry.name()), 1u);
    const std::string syntax = entry.attribute("syntax").value();
    EXPECT_NE(syntax.find(entry.name()), std::string::npos);
    EXPECT_EQ(syntax.find_first_of("\r\n"), std::string::npos);
    EXPECT_TRUE(HasCyrillic(Utf8ToWide(entry.text().get())));
  }
  EXPECT_GT(entries, 0u);
}

TEST(DataFiles, UserItemsAreCrLfLinesInTheCodePage) {
  const std::string bytes = ReadFile(kData + "user.txt");
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r') {
      ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "lone CR at " << i;
      lines.push_back(bytes.substr(start, i - start));
      start = i + 2;
      ++i;
    } else {
      ASSERT_NE(bytes[i], '\n') << "lone LF at " << i;
    }
  }
  EXPECT_GE(lines.size(), 3u);
  for (const std::string& line : lines) {
    EXPECT_FALSE(line.empty());
    // A byte the code page does not define would come out as '?'.
    const std::u16string wide = AnsiToWide(line);
    EXPECT_EQ(std::count(line.begin(), line.end(), '?'), std::count(wide.begin(), wide.end(), u'?'));
  }
}

}  // namespace
}  // namespace qm
