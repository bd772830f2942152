// The XML DOM the program reads its vocabulary and help files with: load, tag-path lookup, text and attribute values.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

class TXmlNode;

// One XML document. Files declared in UTF-8, UTF-16 or windows-1251 are read.
class TXmlDocument {
 public:
  TXmlDocument();
  ~TXmlDocument();
  TXmlDocument(const TXmlDocument&) = delete;
  TXmlDocument& operator=(const TXmlDocument&) = delete;

  // Reads and parses the whole file; false when it is missing, unreadable or
  // not well formed (the document is then empty).
  bool Load(const std::string& path);
  bool LoadBytes(std::string_view bytes);
  // Line of the last parse error, 0 when the last load parsed without error.
  int ParseErrorLine() const { return errorLine_; }

  // Every element of the last name of `tagPath` whose parent is an element of
  // the name before it, anywhere in the document, in document order (XPath
  // "//" + tagPath); a last step "@name" gives those elements' attribute
  // nodes of that name. A path that is not such a name path finds nothing.
  std::vector<TXmlNode> SelectNodes(std::string_view tagPath) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  int errorLine_ = 0;
};

// An element or attribute of a loaded document; valid while the document is.
class TXmlNode {
 public:
  // All text inside the element, joined; the value of an attribute.
  std::u16string Text() const;
  // The value of the named attribute, empty when there is none.
  std::u16string Attribute(std::string_view name) const;
  bool IsAttribute() const;
  // The element's or the attribute's name.
  std::string Name() const;

 private:
  friend class TXmlDocument;
  const void* node_ = nullptr;
  const void* attribute_ = nullptr;
};

// Whether text is a path of XML names separated by "/", the last of them
// possibly an attribute "@name" (the lookups allowed).
bool IsTagPath(std::string_view text);

}  // namespace qm
