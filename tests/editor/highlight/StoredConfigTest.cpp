// Stored configuration text: every value kind, the document structure, the writer, errors and arbitrary input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <stdexcept>
#include <string>

#include "editor/highlight/StoredConfig.h"
#include "platform/Exceptions.h"

namespace qm {

// Readable failure output: the value as the writer would store it.
static void PrintTo(const TStoredValue& value, std::ostream* os) {
  TStoredConfig config;
  config.Objects.push_back(TStoredObject{"A", "TA", {TStoredProperty{"P", value, 0}}, 0});
  try {
    *os << WriteStoredConfig(config);
  } catch (const Exception& e) {
    *os << "<unwritable: " << e.Message << ">";
  }
}

namespace {

const char* const kSample =
    "# comment lines start with '#'\n"
    "object ExtHighlighterU1: TExtHighlighterU\n"
    "  Separators = ' $%&(),./:;<=>[]'\n"
    "  Active = True\n"
    "  ContextNum = 3000\n"
    "  Foreground = 8388608\n"
    "  SubHighlighter = ExtHighlighterU2\n"
    "  Keywords.Strings = (\n"
    "    'short'\n"
    "    130\n"
    "    1 2 0 -1 8421440 0 2 0)\n"
    "  StartStopKeys.Keys = (\n"
    "    ';' '' 128 2 1 0 -1 5126714 True 0 9 1367\n"
    "    #34 #34 128 0 1 0 -1 16384 True 0 9 1)\n"
    "end\n"
    "\n"
    "object NumberHighlighterU1: TNumberHighlighterU\n"
    "  Style = [fsBold, fsItalic]\n"
    "end\n";

TStoredValue Wide(std::u16string text) { return TStoredValue::OfItem(TStoredItem::WideString(std::move(text))); }
TStoredValue Int(int32_t value, uint8_t bits) { return TStoredValue::OfItem(TStoredItem::Integer(value, bits)); }
TStoredValue Bool(bool value) { return TStoredValue::OfItem(TStoredItem::Boolean(value)); }
TStoredValue Id(std::string name) { return TStoredValue::OfIdentifier(std::move(name)); }
TStoredValue SetOf(std::vector<std::string> names) { return TStoredValue::OfSet(std::move(names)); }
TStoredValue ListOf(TStoredItems items) { return TStoredValue::OfList(std::move(items)); }

// Input bytes as printable text for failure messages.
std::string Escape(std::string_view text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out.push_back(static_cast<char>(c));
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

// Same objects, classes, property names and values; line numbers are not compared.
::testing::AssertionResult SameConfig(const TStoredConfig& a, const TStoredConfig& b) {
  if (a.Objects.size() != b.Objects.size())
    return ::testing::AssertionFailure() << a.Objects.size() << " objects vs " << b.Objects.size();
  for (size_t i = 0; i < a.Objects.size(); ++i) {
    const TStoredObject& x = a.Objects[i];
    const TStoredObject& y = b.Objects[i];
    if (x.Name != y.Name || x.ClassName != y.ClassName || x.Properties.size() != y.Properties.size())
      return ::testing::AssertionFailure() << "object " << i << ": " << x.Name << " vs " << y.Name;
    for (size_t k = 0; k < x.Properties.size(); ++k) {
      if (x.Properties[k].Name != y.Properties[k].Name || !(x.Properties[k].Value == y.Properties[k].Value))
        return ::testing::AssertionFailure() << "object " << x.Name << ", property " << x.Properties[k].Name;
    }
  }
  return ::testing::AssertionSuccess();
}

// The value of property P in a one-object document.
TStoredValue ParseValue(const std::string& valueText) {
  const TStoredConfig config = ParseStoredConfig("object A: TA\n  P = " + valueText + "\nend\n");
  const TStoredObject* object = config.Find("A");
  if (object == nullptr || object->Find("P") == nullptr) throw std::logic_error("no property P");
  return *object->Find("P");
}

// What the writer makes of a value: the text after "P = " up to the end of the property.
std::string WrittenValue(const TStoredValue& value) {
  TStoredConfig config;
  config.Objects.push_back(TStoredObject{"A", "TA", {TStoredProperty{"P", value, 0}}, 0});
  const std::string text = WriteStoredConfig(config);
  const std::string head = "object A: TA\n  P = ";
  const std::string tail = "\nend\n";
  if (!text.starts_with(head) || !text.ends_with(tail)) return "<unexpected layout: " + text + ">";
  return text.substr(head.size(), text.size() - head.size() - tail.size());
}

std::string ErrorOf(const std::string& text) {
  try {
    ParseStoredConfig(text);
  } catch (const EReadError& e) {
    return e.Message;
  }
  return "<no error>";
}

TEST(StoredConfigRead, EachValueKind) {
  struct Case {
    const char* text;
    TStoredValue expected;
  };
  const Case cases[] = {
      {"'abc'", Wide(u"abc")},
      {"''", Wide(u"")},
      {"'it''s'", Wide(u"it's")},
      {"''''", Wide(u"'")},
      {"#34#34", Wide(u"\"\"")},
      {"'a'#13#10'b'", Wide(u"a\r\nb")},
      {"'a # b'", Wide(u"a # b")},
      {"#0", Wide(std::u16string(1, u'\0'))},
      {"#65535", Wide(u"\xFFFF")},
      {"#55296", Wide(u"\xD800")},  // a lone surrogate is a valid unit
      {"'Привет, мир'", Wide(u"Привет, мир")},
      {"#1071'ж'", Wide(u"Яж")},
      {"'😀'", Wide(u"😀")},
      {"'tab\tinside'", Wide(u"tab\tinside")},
      {"0", Int(0, 8)},
      {"-1", Int(-1, 8)},
      {"127", Int(127, 8)},
      {"-128", Int(-128, 8)},
      {"128", Int(128, 16)},
      {"300", Int(300, 16)},
      {"-32768", Int(-32768, 16)},
      {"32768", Int(32768, 32)},
      {"8421440", Int(8421440, 32)},
      {"2147483647", Int(2147483647, 32)},
      {"-2147483648", Int(INT32_MIN, 32)},
      {"007", Int(7, 8)},
      {"$1FFFFFFF", Int(0x1FFFFFFF, 32)},
      {"$ff", Int(255, 16)},
      {"$FFFFFFFF", Int(-1, 8)},
      {"$80000000", Int(INT32_MIN, 32)},
      {"True", Bool(true)},
      {"true", Bool(true)},
      {"TRUE", Bool(true)},
      {"False", Bool(false)},
      {"fAlSe", Bool(false)},
      {"ExtHighlighterU2", Id("ExtHighlighterU2")},
      {"clWindow", Id("clWindow")},
      {"Form1.Highlighter", Id("Form1.Highlighter")},
      {"_x", Id("_x")},
      {"Truely", Id("Truely")},
      {"[fsBold, fsItalic]", SetOf({"fsBold", "fsItalic"})},
      {"[a,b ,  c]", SetOf({"a", "b", "c"})},
      {"[ fsBold ]", SetOf({"fsBold"})},
      {"[]", SetOf({})},
      {"[ ]", SetOf({})},
      {"()", ListOf({})},
      {"( )", ListOf({})},
      {"('short' 130 True -1 $10 #34 'a'#13)",
       ListOf({TStoredItem::WideString(u"short"), TStoredItem::Integer(130, 16), TStoredItem::Boolean(true),
               TStoredItem::Integer(-1, 8), TStoredItem::Integer(16, 8), TStoredItem::WideString(u"\""),
               TStoredItem::WideString(u"a\r")})},
      {"'trailing blanks'  \t", Wide(u"trailing blanks")},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseValue(c.text), c.expected) << c.text;
}

TEST(StoredConfigRead, SampleDocument) {
  const TStoredConfig config = ParseStoredConfig(kSample);

  TStoredConfig expected;
  expected.Objects.push_back(TStoredObject{
      "ExtHighlighterU1",
      "TExtHighlighterU",
      {
          {"Separators", Wide(u" $%&(),./:;<=>[]"), 0},
          {"Active", Bool(true), 0},
          {"ContextNum", Int(3000, 16), 0},
          {"Foreground", Int(8388608, 32), 0},
          {"SubHighlighter", Id("ExtHighlighterU2"), 0},
          {"Keywords.Strings",
           ListOf({TStoredItem::WideString(u"short"), TStoredItem::Integer(130), TStoredItem::Integer(1),
                   TStoredItem::Integer(2), TStoredItem::Integer(0), TStoredItem::Integer(-1),
                   TStoredItem::Integer(8421440), TStoredItem::Integer(0), TStoredItem::Integer(2),
                   TStoredItem::Integer(0)}),
           0},
          {"StartStopKeys.Keys",
           ListOf({TStoredItem::WideString(u";"),  TStoredItem::WideString(u""),   TStoredItem::Integer(128),
                   TStoredItem::Integer(2),        TStoredItem::Integer(1),        TStoredItem::Integer(0),
                   TStoredItem::Integer(-1),       TStoredItem::Integer(5126714),  TStoredItem::Boolean(true),
                   TStoredItem::Integer(0),        TStoredItem::Integer(9),        TStoredItem::Integer(1367),
                   TStoredItem::WideString(u"\""), TStoredItem::WideString(u"\""), TStoredItem::Integer(128),
                   TStoredItem::Integer(0),        TStoredItem::Integer(1),        TStoredItem::Integer(0),
                   TStoredItem::Integer(-1),       TStoredItem::Integer(16384),    TStoredItem::Boolean(true),
                   TStoredItem::Integer(0),        TStoredItem::Integer(9),        TStoredItem::Integer(1)}),
           0},
      },
      0});
  expected.Objects.push_back(
      TStoredObject{"NumberHighlighterU1", "TNumberHighlighterU", {{"Style", SetOf({"fsBold", "fsItalic"}), 0}}, 0});
  EXPECT_TRUE(SameConfig(config, expected));

  // Line numbers point at the object and at the property's first line.
  ASSERT_EQ(config.Objects.size(), 2u);
  EXPECT_EQ(config.Objects[0].Line, 2);
  EXPECT_EQ(config.Objects[1].Line, 17);
  const TStoredProperty* keys = config.Objects[0].FindProperty("StartStopKeys.Keys");
  ASSERT_NE(keys, nullptr);
  EXPECT_EQ(keys->Line, 12);
}

TEST(StoredConfigRead, LayoutVariantsReadTheSame) {
  const TStoredConfig canonical = ParseStoredConfig("object A: TA\n  P = (1\n    'x')\n  Q = 5\nend\n");
  const char* const variants[] = {
      "object A: TA\r\n  P = (1\r\n    'x')\r\n  Q = 5\r\nend\r\n",  // CR LF
      "object A: TA\r  P = (1\r    'x')\r  Q = 5\rend\r",            // CR
      "\xEF\xBB\xBFobject A: TA\n  P = (1\n    'x')\n  Q = 5\nend",  // byte order mark, no final break
      "# head\n\nOBJECT A : TA\n\t# note\n\tP=(1\n\n'x'   )\n  Q = 5\n   End  \n\n# tail\n",
      "object A:TA\nP =(  1 'x'  )\nQ= 5\nend\n",
  };
  for (const char* text : variants) EXPECT_TRUE(SameConfig(ParseStoredConfig(text), canonical)) << Escape(text);
}

TEST(StoredConfigRead, EmptyDocumentsHaveNoObjects) {
  for (const char* text : {"", "\n\n", "# only a comment\n", "\xEF\xBB\xBF", "   \t  \r\n"})
    EXPECT_TRUE(ParseStoredConfig(text).Objects.empty()) << Escape(text);
}

TEST(StoredConfigRead, FindIgnoresAsciiCase) {
  const TStoredConfig config = ParseStoredConfig(kSample);
  const TStoredObject* object = config.Find("exthighlighteru1");
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->Name, "ExtHighlighterU1");
  const TStoredValue* active = object->Find("ACTIVE");
  ASSERT_NE(active, nullptr);
  EXPECT_EQ(*active, Bool(true));
  EXPECT_EQ(object->Find("Keywords"), nullptr);
  EXPECT_EQ(object->Find("Missing"), nullptr);
  EXPECT_EQ(config.Find("ExtHighlighterU2"), nullptr);
}

TEST(StoredConfigRead, KeywordsCanBePropertyNames) {
  const TStoredConfig config = ParseStoredConfig("object A: TA\n  Object = 1\n  End = object\nend\n");
  ASSERT_EQ(config.Objects.size(), 1u);
  EXPECT_TRUE(
      SameConfig(config, {{TStoredObject{"A", "TA", {{"Object", Int(1, 8), 0}, {"End", Id("object"), 0}}, 0}}}));
}

TEST(StoredConfigRead, ErrorsNameTheLine) {
  struct Case {
    const char* text;
    int line;
    const char* fragment;
  };
  const Case cases[] = {
      {"object A: TA\n  P = 'abc\nend\n", 2, "unterminated string"},
      {"object A: TA\n  P = (\n    'abc\n  )\nend\n", 3, "unterminated string"},
      {"object A: TA\n  P = (1 2\n    3\n", 2, "unterminated list"},
      {"object A: TA\n  P = (1 2\nend\n", 3, "\"end\" cannot be a list item"},
      {"object A: TA\n  P = 1\n", 1, "has no \"end\""},
      {"object A: TA\nobject B: TB\nend\n", 2, "object inside object"},
      {"object A: TA\n  P = 12abc\nend\n", 2, "bad number \"12abc\""},
      {"object A: TA\n  P = 1.5\nend\n", 2, "bad number"},
      {"object A: TA\n  P = -\nend\n", 2, "bad number"},
      {"object A: TA\n  P = $\nend\n", 2, "bad number"},
      {"object A: TA\n  P = $G1\nend\n", 2, "bad number"},
      {"object A: TA\n  P = -$1\nend\n", 2, "bad number"},
      {"object A: TA\n  P = 4294967296\nend\n", 2, "does not fit in 32 bits"},
      {"object A: TA\n  P = 2147483648\nend\n", 2, "does not fit in 32 bits"},
      {"object A: TA\n  P = -2147483649\nend\n", 2, "does not fit in 32 bits"},
      {"object A: TA\n  P = $100000000\nend\n", 2, "does not fit in 32 bits"},
      {"object A: TA\n  P = (1\n  99999999999999999999999999999)\nend\n", 3, "does not fit in 32 bits"},
      {"object A: TA\n  P = #70000\nend\n", 2, "#70000 is out of range"},
      {"object A: TA\n  P = 'a'#65536\nend\n", 2, "out of range"},
      {"object A: TA\n  P = #99999999999999999999999\nend\n", 2, "out of range"},
      {"object A: TA\n  P = #\nend\n", 2, "decimal character code"},
      {"object A: TA\n  P = (\n    # a note\n    1)\nend\n", 3, "decimal character code"},
      {"object A: TA\n  P = 1\n  ??? garbage\nend\n", 3, "unexpected \"?\""},
      {"object A: TA\n  P 1\nend\n", 2, "expected \"=\""},
      {"P = 1\n", 1, "outside an object"},
      {"end\n", 1, "without an open object"},
      {"object A\nend\n", 1, "expected \":\""},
      {"object A:\nend\n", 1, "class name"},
      {"object : TA\nend\n", 1, "object name"},
      {"object A: TA extra\nend\n", 1, "after the class name"},
      {"object A: TA\n  P =\nend\n", 2, "missing value"},
      {"object A: TA\n  P = +1\nend\n", 2, "where a value was expected"},
      {"object A: TA\n  P = [a, b\nend\n", 2, "unterminated set"},
      {"object A: TA\n  P = [a,]\nend\n", 2, "in a set"},
      {"object A: TA\n  P = [a b]\nend\n", 2, "in a set"},
      {"object A: TA\n  P = (1 Foo)\nend\n", 2, "\"Foo\" cannot be a list item"},
      {"object A: TA\n  P = ('a'1)\nend\n", 2, "after a list item"},
      {"object A: TA\n  P = (1 2)x\nend\n", 2, "after the value of \"P\""},
      {"object A: TA\n  P = 'a' 'b'\nend\n", 2, "after the value"},
      {"object A: TA\n  P = 1\n  p = 2\nend\n", 3, "already set on line 2"},
      {"object A: TA\nend\nobject a: TB\nend\n", 3, "already defined on line 1"},
      {"object A: TA\n  P = 'a\xFF'\nend\n", 2, "invalid UTF-8"},
      {"object A: TA\n  P = '\xED\xA0\x80'\nend\n", 2, "invalid UTF-8"},  // an encoded surrogate
      {"object A: TA\n  P = '\xC0\xAF'\nend\n", 2, "invalid UTF-8"},      // an overlong form
      {"object A: TA\n  a..b = 1\nend\n", 2, "bad name"},
      {"object A: TA\n  \xD0\x9F = 1\nend\n", 2, "unexpected \"\xD0\x9F\""},
      {"object A: TA\n  P = 1\n\x01\nend\n", 3, "byte 0x01"},
      {"object A: TA\n  P = 1\nend extra\n", 3, "after \"end\""},
  };
  for (const Case& c : cases) {
    const std::string message = ErrorOf(c.text);
    const std::string prefix = "line " + std::to_string(c.line) + ": ";
    EXPECT_TRUE(message.starts_with(prefix)) << Escape(c.text) << " -> " << message;
    EXPECT_NE(message.find(c.fragment), std::string::npos) << Escape(c.text) << " -> " << message;
  }
}

TEST(StoredConfigWrite, ValueText) {
  struct Case {
    TStoredValue value;
    const char* expected;
  };
  const Case cases[] = {
      {Wide(u"abc"), "'abc'"},
      {Wide(u""), "''"},
      {Wide(u"it's\r\nЯ"), "'it''s'#13#10'Я'"},
      {Wide(u"\"\""), "'\"\"'"},
      {Wide(u"\x01"), "#1"},
      {Wide(u"a\x7F\x85"), "'a'#127#133"},
      {Wide(u"\xD800x"), "#55296'x'"},  // a lone surrogate has no UTF-8 form
      {Wide(u"😀"), "'😀'"},
      {TStoredValue::OfItem(TStoredItem::String("\xC0\xE1")), "'Аб'"},  // Windows-1251
      {Int(-5, 8), "-5"},
      {Int(0x1FFFFFFF, 32), "536870911"},
      {Int(INT32_MIN, 32), "-2147483648"},
      {Bool(true), "True"},
      {Bool(false), "False"},
      {Id("Form1.Highlighter"), "Form1.Highlighter"},
      {SetOf({"fsBold", "fsItalic"}), "[fsBold, fsItalic]"},
      {SetOf({}), "[]"},
      {ListOf({}), "()"},
      {ListOf({TStoredItem::WideString(u"short"), TStoredItem::Integer(130), TStoredItem::Boolean(false)}),
       "(\n    'short' 130 False)"},
  };
  for (const Case& c : cases) EXPECT_EQ(WrittenValue(c.value), c.expected);
}

TEST(StoredConfigWrite, WholeDocumentLayout) {
  const TStoredConfig config{{
      TStoredObject{"A", "TA", {{"Name", Wide(u"x"), 0}, {"Keys", ListOf({TStoredItem::Integer(1)}), 0}}, 0},
      TStoredObject{"B", "TB", {}, 0},
  }};
  EXPECT_EQ(WriteStoredConfig(config),
            "object A: TA\n"
            "  Name = 'x'\n"
            "  Keys = (\n"
            "    1)\n"
            "end\n"
            "object B: TB\n"
            "end\n");
}

TEST(StoredConfigWrite, LongListsWrapBeforeColumn80) {
  TStoredItems items;
  for (int i = 0; i < 200; ++i) {
    items.push_back(TStoredItem::Integer(i * 8421));
    if (i % 7 == 0)
      items.push_back(TStoredItem::WideString(u"key" + std::u16string(static_cast<size_t>(i % 13), u'x')));
  }
  const TStoredConfig config{{TStoredObject{"A", "TA", {{"Keys", ListOf(items), 0}}, 0}}};
  const std::string text = WriteStoredConfig(config);
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    EXPECT_LE(end - start, 80u) << text.substr(start, end - start);
    start = end + 1;
  }
  EXPECT_TRUE(SameConfig(ParseStoredConfig(text), config));
}

TEST(StoredConfigWrite, RefusesWhatWouldNotReadBack) {
  const TStoredConfig cases[] = {
      {{TStoredObject{"", "TA", {}, 0}}},
      {{TStoredObject{"1A", "TA", {}, 0}}},
      {{TStoredObject{"A", "T A", {}, 0}}},
      {{TStoredObject{"A", "TA", {{"P.", Int(1, 8), 0}}, 0}}},
      {{TStoredObject{"A", "TA", {{"P", Id("True"), 0}}, 0}}},
      {{TStoredObject{"A", "TA", {{"P", Id("a b"), 0}}, 0}}},
      {{TStoredObject{"A", "TA", {{"P", SetOf({"a,b"}), 0}}, 0}}},
      {{TStoredObject{"A", "TA", {{"P", Int(1, 8), 0}, {"p", Int(2, 8), 0}}, 0}}},
      {{TStoredObject{"A", "TA", {}, 0}, TStoredObject{"a", "TB", {}, 0}}},
  };
  for (const TStoredConfig& config : cases) EXPECT_THROW(WriteStoredConfig(config), Exception);
}

TEST(StoredConfigRoundTrip, ParseWriteParse) {
  const char* const documents[] = {
      kSample,
      "object A: TA\n  S = 'it''s'#13#10'Привет'#0'😀'#55296\n  E = ''\n  N = $FFFFFFFF\n  M = -2147483648\n"
      "  Z = []\n  L = ()\n  R = Other.Thing\nend\n",
  };
  for (const char* text : documents) {
    const TStoredConfig first = ParseStoredConfig(text);
    const std::string written = WriteStoredConfig(first);
    const TStoredConfig second = ParseStoredConfig(written);
    EXPECT_TRUE(SameConfig(first, second)) << written;
    EXPECT_EQ(WriteStoredConfig(second), written);
  }
}

// Arbitrary input either reads or fails with a line-numbered EReadError; what
// reads survives a write and a read unchanged.
void CheckArbitraryInput(const std::string& text) {
  TStoredConfig config;
  try {
    config = ParseStoredConfig(text);
  } catch (const EReadError& e) {
    const size_t lines = 1 + static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) +
                         static_cast<size_t>(std::count(text.begin(), text.end(), '\r'));
    int line = 0;
    const bool numbered = std::sscanf(e.Message.c_str(), "line %d:", &line) == 1;
    EXPECT_TRUE(numbered && line >= 1 && static_cast<size_t>(line) <= lines) << Escape(text) << " -> " << e.Message;
    return;
  }
  EXPECT_TRUE(SameConfig(ParseStoredConfig(WriteStoredConfig(config)), config)) << Escape(text);
}

TEST(StoredConfigRandom, RandomBytes) {
  static const char kPieces[][12] = {"object ", "end", ": ", " = ",  "'", "''", "#",        "#34",  "(", ")",
                                     "[",       "]",   ", ", "$",    "-", "7",  "65535",    "True", "A", "TA",
                                     "P",       ".",   "\n", "\r\n", " ", "\t", "\xD0\x9F", "\xFF"};
  std::mt19937 rng(20240611);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const size_t pieces = rng() % 40;
    for (size_t i = 0; i < pieces; ++i) {
      if (rng() % 3 == 0) {
        text.push_back(static_cast<char>(rng() % 256));
      } else {
        text += kPieces[rng() % std::size(kPieces)];
      }
    }
    CheckArbitraryInput(text);
  }
}

TEST(StoredConfigRandom, MutatedSample) {
  const std::string sample = kSample;
  std::mt19937 rng(77);
  for (int round = 0; round < 3000; ++round) {
    std::string text = sample;
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      const size_t at = rng() % text.size();
      switch (rng() % 4) {
        case 0: text[at] = static_cast<char>(rng() % 256); break;
        case 1: text.insert(at, 1, "'#()[]$-\n 0"[rng() % 11]); break;
        case 2: text.erase(at, 1 + rng() % 8); break;
        default: text.insert(at, text.substr(rng() % text.size(), rng() % 16)); break;
      }
    }
    CheckArbitraryInput(text);
  }
}

class StoredConfigFile : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (std::filesystem::temp_directory_path() /
             ("qm_stored_config_" + std::to_string(std::random_device{}()) + ".txt"))
                .string();
  }
  void TearDown() override { std::filesystem::remove(path_); }
  void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string path_;
};

TEST_F(StoredConfigFile, LoadsWhatItHolds) {
  Write(kSample);
  EXPECT_TRUE(SameConfig(LoadStoredConfigFile(path_), ParseStoredConfig(kSample)));
}

TEST_F(StoredConfigFile, ParseErrorsNameTheFileAndLine) {
  Write("object A: TA\n  P = 'abc\nend\n");
  try {
    LoadStoredConfigFile(path_);
    ADD_FAILURE() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message.rfind(path_ + ": line 2: unterminated string", 0), 0u) << e.Message;
  }
}

TEST_F(StoredConfigFile, UnreadablePathsRaiseReadError) {
  const std::string directory = std::filesystem::temp_directory_path().string();
  for (const std::string& path : {path_ + ".missing", directory}) {
    try {
      LoadStoredConfigFile(path);
      ADD_FAILURE() << "no error for " << path;
    } catch (const EReadError& e) {
      EXPECT_NE(e.Message.find("file \"" + path + "\""), std::string::npos) << e.Message;
    }
  }
}

}  // namespace
}  // namespace qm
