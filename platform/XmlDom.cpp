// The XML DOM over pugixml. Every file is turned into UTF-8 first, so that parse
// errors can be placed on a line whatever the file's encoding.
#include "platform/XmlDom.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "platform/CodePage.h"

namespace qm {

// Deeper nesting than any vocabulary or help file needs is refused as a parse
// error: it can only come from a damaged or hostile file.
constexpr int kMaxDepth = 10000;

struct TXmlDocument::Impl {
  pugi::xml_document doc;
};

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

// The bytes as UTF-8, from UTF-16 (with or without a byte order mark),
// UTF-8, or an 8-bit declaration of windows-1251.
std::string ToUtf8(std::string_view bytes) {
  auto fromUtf16 = [](std::string_view b, bool bigEndian) {
    std::u16string wide(b.size() / 2, u'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
      const auto lo = static_cast<unsigned char>(b[2 * i + (bigEndian ? 1 : 0)]);
      const auto hi = static_cast<unsigned char>(b[2 * i + (bigEndian ? 0 : 1)]);
      wide[i] = static_cast<char16_t>(lo | (hi << 8));
    }
    return WideToUtf8(wide);
  };
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE)
    return fromUtf16(bytes.substr(2), false);
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE && static_cast<unsigned char>(bytes[1]) == 0xFF)
    return fromUtf16(bytes.substr(2), true);
  if (bytes.size() >= 2 && bytes[0] == '<' && bytes[1] == 0) return fromUtf16(bytes, false);
  if (bytes.size() >= 2 && bytes[0] == 0 && bytes[1] == '<') return fromUtf16(bytes, true);
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
  // An 8-bit declaration names its encoding in the first line.
  const std::string head = Lower(bytes.substr(0, std::min<size_t>(bytes.size(), 200)));
  if (head.rfind("<?xml", 0) == 0) {
    const size_t end = head.find("?>");
    const std::string decl = head.substr(0, end);
    if (decl.find("windows-1251") != std::string::npos || decl.find("cp1251") != std::string::npos)
      return WideToUtf8(AnsiToWide(bytes));
  }
  return std::string(bytes);
}

bool IsNameStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
bool IsNameChar(unsigned char c) { return IsNameStart(c) || std::isdigit(c) || c == '-' || c == '.'; }

// Walks the subtree without recursion, so that no nesting depth can exhaust the stack.
void JoinText(const pugi::xml_node& root, std::string& out) {
  pugi::xml_node node = root.first_child();
  while (node) {
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) out += node.value();
    if (node.type() == pugi::node_element && node.first_child()) {
      node = node.first_child();
      continue;
    }
    while (node != root && !node.next_sibling()) node = node.parent();
    if (node == root) break;
    node = node.next_sibling();
  }
}

// The first element nested deeper than kMaxDepth, or an empty node.
pugi::xml_node TooDeep(const pugi::xml_document& doc) {
  int depth = 0;
  pugi::xml_node node = doc.first_child();
  while (node) {
    if (node.type() == pugi::node_element && depth + 1 > kMaxDepth) return node;
    if (node.first_child()) {
      node = node.first_child();
      ++depth;
      continue;
    }
    while (node && !node.next_sibling()) {
      node = node.parent();
      --depth;
    }
    if (node) node = node.next_sibling();
  }
  return {};
}

}  // namespace

bool IsTagPath(std::string_view text) {
  if (text.empty()) return false;
  bool atStart = true;
  bool attribute = false;  // the step under way names an attribute
  int steps = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '/') {
      // Nothing may follow an attribute step.
      if (atStart || attribute) return false;
      atStart = true;
    } else if (atStart && c == '@') {
      // Only the last step may be an attribute, and not the first.
      if (steps == 0 || attribute) return false;
      attribute = true;
    } else if (atStart ? IsNameStart(c) : IsNameChar(c)) {
      if (atStart) ++steps;
      atStart = false;
    } else {
      return false;
    }
  }
  return !atStart;
}

TXmlDocument::TXmlDocument() : impl_(std::make_unique<Impl>()) {}
TXmlDocument::~TXmlDocument() = default;

bool TXmlDocument::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    impl_->doc.reset();
    errorLine_ = 0;
    return false;
  }
  std::ostringstream all;
  all << in.rdbuf();
  if (!in.good() && !in.eof()) {
    impl_->doc.reset();
    return false;
  }
  return LoadBytes(all.str());
}

bool TXmlDocument::LoadBytes(std::string_view bytes) {
  const std::string utf8 = ToUtf8(bytes);
  // No entity declarations are expanded (the parser has no DTD support), so
  // an entity bomb cannot grow the document.
  const pugi::xml_parse_result result =
      impl_->doc.load_buffer(utf8.data(), utf8.size(), pugi::parse_default, pugi::encoding_utf8);
  ptrdiff_t errorOffset = result.offset;
  if (result) {
    const pugi::xml_node deep = TooDeep(impl_->doc);
    if (!deep) {
      errorLine_ = 0;
      return true;
    }
    errorOffset = deep.offset_debug();
  }
  const auto offset = static_cast<size_t>(std::clamp<ptrdiff_t>(errorOffset, 0, static_cast<ptrdiff_t>(utf8.size())));
  errorLine_ = 1 + static_cast<int>(std::count(utf8.begin(), utf8.begin() + static_cast<ptrdiff_t>(offset), '\n'));
  impl_->doc.reset();
  return false;
}

std::vector<TXmlNode> TXmlDocument::SelectNodes(std::string_view tagPath) const {
  std::vector<TXmlNode> out;
  if (!IsTagPath(tagPath)) return out;
  try {
    const pugi::xpath_node_set set = impl_->doc.select_nodes(("//" + std::string(tagPath)).c_str());
    out.reserve(set.size());
    for (const pugi::xpath_node& n : set) {
      TXmlNode node;
      node.node_ = n.node().internal_object();
      node.attribute_ = n.attribute().internal_object();
      out.push_back(node);
    }
  } catch (const pugi::xpath_exception&) {
    out.clear();
  }
  return out;
}

std::u16string TXmlNode::Text() const {
  if (attribute_ != nullptr)
    return Utf8ToWide(
        pugi::xml_attribute(static_cast<pugi::xml_attribute_struct*>(const_cast<void*>(attribute_))).value());
  std::string text;
  JoinText(pugi::xml_node(static_cast<pugi::xml_node_struct*>(const_cast<void*>(node_))), text);
  return Utf8ToWide(text);
}

std::u16string TXmlNode::Attribute(std::string_view name) const {
  const pugi::xml_node node(static_cast<pugi::xml_node_struct*>(const_cast<void*>(node_)));
  return Utf8ToWide(node.attribute(std::string(name).c_str()).value());
}

bool TXmlNode::IsAttribute() const { return attribute_ != nullptr; }

std::string TXmlNode::Name() const {
  if (attribute_ != nullptr)
    return pugi::xml_attribute(static_cast<pugi::xml_attribute_struct*>(const_cast<void*>(attribute_))).name();
  return pugi::xml_node(static_cast<pugi::xml_node_struct*>(const_cast<void*>(node_))).name();
}

}  // namespace qm
