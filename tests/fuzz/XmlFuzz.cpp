// Fuzz target: any bytes as the vocabulary file loaded into the main window's chain, and as the help file with tag-path lookups.
#include <string>
#include <vector>

#include "FuzzChain.h"
#include "FuzzCheck.h"
#include "platform/CodePage.h"
#include "platform/XmlDom.h"

namespace qm {
namespace {

// As the main window loads its vocabulary: a file that does not parse
// changes nothing; otherwise each category with items holds exactly them.
void LoadAsVocabulary(const TXmlDocument& document) {
  auto chain = fuzz::StoredChain();
  const auto items = ReadVocabularyItems(document);
  LoadVocabulary(*chain, items, [](const char*, TColor templateColour) { return templateColour; });
  for (const TVocabularyCategoryInfo& info : VocabularyCategories()) {
    const auto& words = items[static_cast<size_t>(info.Category)];
    const TKeywordList& list = chain->U(info.Highlighter).Keywords;
    fuzz::Require(list.Count() == (words.empty() ? 1 : static_cast<int>(words.size())),
                  std::string(info.TagPath) + ": keyword count differs from the items");
  }
}

// The last name of a tag path, without the "@" of an attribute step.
std::string LastStep(const std::string& path) {
  std::string last = path.substr(path.rfind('/') + 1);
  if (!last.empty() && last.front() == '@') last.erase(0, 1);
  return last;
}

// As the context help looks an item up: only a tag path is a lookup, and it
// finds only elements (or attributes) of exactly its last name.
void LookUp(const TXmlDocument& document, const std::string& item) {
  const std::string path = WideToUtf8(AnsiToWide(item));
  for (const std::string& lookup : {path, path + "/@syntax"}) {
    const std::vector<TXmlNode> nodes = document.SelectNodes(lookup);
    if (!IsTagPath(lookup)) {
      fuzz::Require(nodes.empty(), "a path that is no tag path found nodes: " + lookup);
      continue;
    }
    const bool attribute = LastStep(lookup) != lookup.substr(lookup.rfind('/') + 1);
    for (const TXmlNode& node : nodes) {
      fuzz::Require(node.IsAttribute() == attribute, "lookup found the wrong kind of node: " + lookup);
      fuzz::Require(node.Name() == LastStep(lookup), "lookup found a node of another name: " + lookup);
      (void)node.Text();
    }
  }
}

// Item strings from the input's lines and the vocabulary's own words.
std::vector<std::string> Items(std::string_view bytes, const TXmlDocument& document) {
  std::vector<std::string> out;
  for (size_t at = 0; at < bytes.size() && out.size() < 8;) {
    const size_t end = std::min(bytes.find('\n', at), bytes.size());
    out.emplace_back(bytes.substr(at, std::min<size_t>(end - at, 300)));
    at = end + 1;
  }
  for (const auto& words : ReadVocabularyItems(document))
    for (size_t i = 0; i < words.size() && i < 4; ++i) out.push_back(WideToAnsi(words[i]));
  return out;
}

}  // namespace
}  // namespace qm

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qm;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TXmlDocument document;
  const bool loaded = document.LoadBytes(bytes);
  fuzz::Require(loaded == (document.ParseErrorLine() == 0), "load result and parse error line disagree");
  if (loaded) LoadAsVocabulary(document);
  // The help file is read into the same shared document.
  for (const std::string& item : Items(bytes, document)) LookUp(document, item);
  return 0;
}
