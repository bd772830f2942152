// Hostile vocabulary and help files: item names that look like queries, entity declarations, deep nesting, huge lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HighlightUtil.h"
#include "editor/highlight/HighlighterChain.h"
#include "platform/CodePage.h"
#include "platform/XmlDom.h"

namespace qm {
namespace {

std::string Repeat(std::string_view piece, size_t n) {
  std::string out;
  out.reserve(piece.size() * n);
  for (size_t i = 0; i < n; ++i) out += piece;
  return out;
}

const std::string kLongName = "L" + Repeat("o", 9998) + "g";

// A help file whose element names include XPath's operator and node-type
// words, a Cyrillic name and a 10,000-character name.
std::string HostileHelp() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<help>"
         "<short syntax=\"short name\">S</short><secret>hidden</secret>"
         "<and>AND</and><or>OR</or><div>DIV</div><mod>MOD</mod><comment>C</comment><node>N</node>"
         "<text>T</text><x.y>XY</x.y><a-b>AB</a-b><Привет syntax=\"Привет x\">П</Привет>"
         "<" +
         kLongName + ">long</" + kLongName +
         "><a><b>inner</b></a>"
         "<!-- a comment --><?pi data?></help>";
}

struct TLookup {
  std::string Item;                   // as the item list holds it: 8-bit, Windows-1251
  std::vector<std::u16string> Found;  // the texts of the elements found, nothing for an item without help
};

// Every item is either a name looked up literally or an item without help:
// no string reaches other nodes than the elements of exactly its name.
TEST(XmlHostile, ItemNamesAreLookedUpLiterallyOrHaveNoHelp) {
  TXmlDocument doc;
  ASSERT_TRUE(doc.LoadBytes(HostileHelp()));
  const std::vector<TLookup> cases = {
      {"\"", {}},
      {"'", {}},
      {"'] | //*", {}},
      {"\" or \"1\"=\"1", {}},
      {"' or '1'='1", {}},
      {"short | //secret", {}},
      {"short[1]", {}},
      {"short/..", {}},
      {"..", {}},
      {".", {}},
      {"@x", {}},
      {"*", {}},
      {"//*", {}},
      {"text()", {}},
      {"node()", {}},
      {"count(//*)", {}},
      {Repeat("(", 2000) + "short" + Repeat(")", 2000), {}},
      {"name with spaces", {}},
      {"\xCC\xEE\xE9 \xEF\xF0\xE5\xE4\xEC\xE5\xF2", {}},  // "Мой предмет": Cyrillic with a space
      {"child::secret", {}},
      {"$x", {}},
      {"short\n", {}},
      {std::string("sh\0ort", 6), {}},
      {"", {}},
      {"short", {u"S"}},
      {"and", {u"AND"}},
      {"or", {u"OR"}},
      {"div", {u"DIV"}},
      {"mod", {u"MOD"}},
      {"comment", {u"C"}},
      {"node", {u"N"}},
      {"text", {u"T"}},
      {"x.y", {u"XY"}},
      {"a-b", {u"AB"}},
      {"a/b", {u"inner"}},
      {"b", {u"inner"}},
      {"\xCF\xF0\xE8\xE2\xE5\xF2", {u"П"}},  // "Привет" in Windows-1251
      {kLongName, {u"long"}},
      {Repeat("a/", 3000) + "b", {}},  // deeper than any element: nothing, however the query engine copes
      {"missing", {}},
  };
  for (const TLookup& c : cases) {
    SCOPED_TRACE(c.Item.substr(0, 60));
    // The same conversion and check the context help makes before a lookup.
    const std::string path = WideToUtf8(AnsiToWide(c.Item));
    const std::string last = path.substr(path.rfind('/') + 1);
    std::vector<std::u16string> found;
    for (const TXmlNode& node : doc.SelectNodes(path)) {
      EXPECT_FALSE(node.IsAttribute());
      EXPECT_EQ(node.Name(), last);
      found.push_back(node.Text());
    }
    EXPECT_EQ(found, c.Found);
    EXPECT_EQ(IsTagPath(path), !c.Found.empty() || c.Item == "missing" || c.Item.starts_with("a/a/"));
  }
  // The syntax attribute of a Cyrillic item.
  const std::vector<TXmlNode> syntax = doc.SelectNodes(WideToUtf8(AnsiToWide("\xCF\xF0\xE8\xE2\xE5\xF2/@syntax")));
  ASSERT_EQ(syntax.size(), 1u);
  EXPECT_EQ(syntax[0].Name(), "syntax");
  EXPECT_EQ(syntax[0].Text(), u"Привет x");
}

// Entities declared in a document type stay the literal text of their
// reference: nothing is expanded, nothing is fetched, nothing grows.
TEST(XmlHostile, DeclaredEntitiesAreNotExpanded) {
  std::string doctype = "<!DOCTYPE help [\n<!ENTITY e0 \"laugh\">\n";
  for (int i = 1; i <= 9; ++i) {
    doctype += "<!ENTITY e" + std::to_string(i) + " \"";
    for (int k = 0; k < 10; ++k) doctype += "&e" + std::to_string(i - 1) + ";";
    doctype += "\">\n";
  }
  doctype += "<!ENTITY file SYSTEM \"file:///etc/passwd\">\n]>\n";
  TXmlDocument doc;
  ASSERT_TRUE(doc.LoadBytes(doctype + "<help><lol>&e9;</lol><pw>&file;</pw><amp>&amp;&lt;</amp></help>"));
  ASSERT_EQ(doc.SelectNodes("lol").size(), 1u);
  EXPECT_EQ(doc.SelectNodes("lol")[0].Text(), u"&e9;");
  EXPECT_EQ(doc.SelectNodes("pw")[0].Text(), u"&file;");
  EXPECT_EQ(doc.SelectNodes("amp")[0].Text(), u"&<") << "the predefined entities still read";
}

// Nesting deeper than any real file needs is a parse error on the line of
// the element too deep, not a stack overflow; nesting within the limit loads
// and its text is joined without recursion.
TEST(XmlHostile, DeepNestingIsRefusedCleanly) {
  TXmlDocument doc;
  const std::string deep = "<a>\n" + Repeat("<a>", 200000) + "x" + Repeat("</a>", 200000) + "</a>";
  EXPECT_FALSE(doc.LoadBytes(deep));
  EXPECT_EQ(doc.ParseErrorLine(), 2);
  EXPECT_TRUE(doc.SelectNodes("a").empty());

  const std::string unclosed = Repeat("<a>", 200000);
  EXPECT_FALSE(doc.LoadBytes(unclosed));
  EXPECT_GT(doc.ParseErrorLine(), 0);

  const std::string allowed = Repeat("<a>", 9000) + "x<b>y</b>" + Repeat("</a>", 9000);
  ASSERT_TRUE(doc.LoadBytes(allowed));
  EXPECT_EQ(doc.ParseErrorLine(), 0);
  const std::vector<TXmlNode> all = doc.SelectNodes("a");
  ASSERT_EQ(all.size(), 9000u);
  EXPECT_EQ(all.front().Text(), u"xy");
  EXPECT_EQ(doc.SelectNodes("a/b").size(), 1u);
}

// A vocabulary of 100,000 functions loads whole, in document order.
TEST(XmlHostile, HugeVocabularyLoadsEveryItem) {
  std::string xml = "<scriptitems><extension>";
  for (int i = 0; i < 100000; ++i) xml += "<function> Fn" + std::to_string(i) + " </function>";
  xml += "</extension></scriptitems>";
  TXmlDocument doc;
  ASSERT_TRUE(doc.LoadBytes(xml));
  auto chain = LoadHighlighterChain(test::ChainPath());
  LoadVocabulary(*chain, ReadVocabularyItems(doc), nullptr);
  const TKeywordList& functions = chain->U(4).Keywords;
  ASSERT_EQ(functions.Count(), 100000);
  EXPECT_EQ(functions.Get(0), "Fn0");
  EXPECT_EQ(functions.Get(99999), "Fn99999");
  EXPECT_EQ(chain->U(1).Keywords.Count(), 1) << "categories without items keep their template";
}

}  // namespace
}  // namespace qm
