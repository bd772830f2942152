// Tests of the XML layer: which lookup paths are allowed, lookups in document order, attribute nodes, encodings and parse errors.
#include "platform/XmlDom.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qm {
namespace {

TEST(XmlDom, OnlyNamePathsWithAnAttributeAtTheEndAreLookups) {
  const struct {
    const char* Path;
    bool Allowed;
  } cases[] = {
      {"function", true},
      {"extension/function", true},
      {"GetPos/@syntax", true},
      {"a.b-c_d/e1", true},
      {"", false},
      {"/a", false},
      {"a/", false},
      {"a//b", false},
      {"@syntax", false},
      {"a/@", false},
      {"a/@b/c", false},
      {"a/@b/@c", false},
      {"a b", false},
      {"a[1]", false},
      {"a|b", false},
      {"a/../b", false},
      {"1a", false},
      {"a'or'1'='1", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsTagPath(c.Path), c.Allowed) << c.Path;
}

TEST(XmlDom, LookupsFollowDocumentOrderAndReadAttributes) {
  TXmlDocument doc;
  ASSERT_TRUE(
      doc.LoadBytes("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<root><x><f>one</f></x><f>loose</f><x><f>two<b>!</b></f></x>"
                    "<GetPos syntax=\"GetPos axis\">Где объект.</GetPos><GetPos syntax=\"second\"/></root>"));
  std::vector<std::u16string> texts;
  for (const TXmlNode& n : doc.SelectNodes("x/f")) texts.push_back(n.Text());
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"one", u"two!"}));

  const std::vector<TXmlNode> syntax = doc.SelectNodes("GetPos/@syntax");
  ASSERT_EQ(syntax.size(), 2u);
  EXPECT_TRUE(syntax[0].IsAttribute());
  EXPECT_EQ(syntax[0].Text(), u"GetPos axis");
  EXPECT_EQ(doc.SelectNodes("GetPos")[0].Text(), u"Где объект.");
  // Paths that are no name paths find nothing instead of raising.
  EXPECT_TRUE(doc.SelectNodes("GetPos[1]").empty());
  EXPECT_TRUE(doc.SelectNodes("x/f | //GetPos").empty());
  EXPECT_TRUE(doc.SelectNodes("ns:f").empty());
}

TEST(XmlDom, ReadsDeclaredEncodingsAndReportsTheErrorLine) {
  TXmlDocument doc;
  // windows-1251: "Вид" is C2 E8 E4.
  ASSERT_TRUE(doc.LoadBytes("<?xml version=\"1.0\" encoding=\"windows-1251\"?><r><a>\xC2\xE8\xE4</a></r>"));
  EXPECT_EQ(doc.SelectNodes("a")[0].Text(), u"Вид");
  // UTF-16 with a byte order mark.
  const std::u16string text = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><r><a>ё</a></r>";
  std::string bytes = "\xFF\xFE";
  for (const char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  ASSERT_TRUE(doc.LoadBytes(bytes));
  EXPECT_EQ(doc.SelectNodes("a")[0].Text(), u"ё");
  EXPECT_EQ(doc.ParseErrorLine(), 0);

  EXPECT_FALSE(doc.LoadBytes("<r>\n<a>\n</b></r>"));
  EXPECT_EQ(doc.ParseErrorLine(), 3);
  EXPECT_TRUE(doc.SelectNodes("a").empty());
}

}  // namespace
}  // namespace qm
