// Building the highlighter chain from stored configuration, and loading the vocabulary into its keyword lists.
#include "editor/highlight/HighlighterChain.h"

#include "editor/highlight/KeyOptions.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

const TStoredObject& Require(const TStoredConfig& config, const char* name) {
  const TStoredObject* object = config.Find(name);
  if (object == nullptr) throw EReadError(std::string("Highlighter configuration lacks ") + name);
  return *object;
}

[[noreturn]] void Wrong(const TStoredObject& object, const char* property) {
  throw EReadError("Invalid property value: " + object.Name + "." + property);
}

const TStoredItem* Item(const TStoredObject& object, const char* property) {
  const TStoredValue* value = object.Find(property);
  if (value == nullptr) return nullptr;
  if (value->Kind != TStoredValueKind::Item) Wrong(object, property);
  return &value->Item;
}

std::u16string StringOf(const TStoredObject& object, const char* property, const TStoredItem& item) {
  if (item.Kind == TStoredKind::WideString) return item.Wide;
  if (item.Kind == TStoredKind::String) return AnsiToWide(item.Ansi);
  Wrong(object, property);
}

int32_t IntegerOf(const TStoredObject& object, const char* property, const TStoredItem& item) {
  if (item.Kind != TStoredKind::Integer) Wrong(object, property);
  return item.Int;
}

void ConfigureExt(TCustomExtHighlighterU& h, const TStoredObject& object) {
  h.Name = object.Name;
  if (const TStoredItem* separators = Item(object, "Separators"))
    h.SetSeparators(StringOf(object, "Separators", *separators));
  if (const TStoredItem* active = Item(object, "Active")) {
    if (active->Kind != TStoredKind::Boolean) Wrong(object, "Active");
    h.Active = active->Bool;
  }
  if (const TStoredValue* keywords = object.Find("Keywords.Strings")) {
    if (keywords->Kind != TStoredValueKind::List) Wrong(object, "Keywords.Strings");
    h.Keywords.ReadData(keywords->List);
  }
  if (const TStoredValue* keys = object.Find("StartStopKeys.Keys")) {
    if (keys->Kind != TStoredValueKind::List) Wrong(object, "StartStopKeys.Keys");
    TStoredReader reader(keys->List);
    h.StartStopKeys.ReadKeys(reader);
  }
}

}  // namespace

std::unique_ptr<THighlighterChain> BuildHighlighterChain(const TStoredConfig& config) {
  auto chain = std::make_unique<THighlighterChain>();
  chain->Numbers = std::make_unique<TNumberHighlighterU>();
  for (int n = 1; n <= 5; ++n) {
    chain->Ext[static_cast<size_t>(n - 1)] = std::make_unique<TExtHighlighterU>();
    ConfigureExt(chain->U(n), Require(config, ("ExtHighlighterU" + std::to_string(n)).c_str()));
  }
  for (int n = 1; n <= 4; ++n) chain->U(n).SetSubHighlighter(&chain->U(n + 1));
  chain->U(5).SetSubHighlighter(chain->Numbers.get());

  TNumberHighlighterU& numbers = *chain->Numbers;
  const TStoredObject& object = Require(config, "NumberHighlighterU1");
  ConfigureExt(numbers, object);
  if (const TStoredItem* v = Item(object, "Foreground")) numbers.Foreground = IntegerOf(object, "Foreground", *v);
  if (const TStoredItem* v = Item(object, "Background")) numbers.Background = IntegerOf(object, "Background", *v);
  if (const TStoredItem* v = Item(object, "ContextNum"))
    numbers.ContextNum = static_cast<int16_t>(IntegerOf(object, "ContextNum", *v));
  if (const TStoredItem* v = Item(object, "Scope")) numbers.Scope = IntegerOf(object, "Scope", *v);
  if (const TStoredItem* v = Item(object, "Priority")) numbers.Priority = IntegerOf(object, "Priority", *v);
  if (const TStoredItem* v = Item(object, "AltFont")) {
    if (v->Kind != TStoredKind::Boolean) Wrong(object, "AltFont");
    numbers.AltFont = v->Bool;
  }
  if (const TStoredValue* style = object.Find("Style")) {
    if (style->Kind != TStoredValueKind::Set) Wrong(object, "Style");
    numbers.Style = 0;
    for (const std::string& s : style->Set) {
      if (s == "fsBold")
        numbers.Style |= fsBold;
      else if (s == "fsItalic")
        numbers.Style |= fsItalic;
      else if (s == "fsUnderline")
        numbers.Style |= fsUnderline;
      else if (s == "fsStrikeOut")
        numbers.Style |= fsStrikeOut;
      else
        Wrong(object, "Style");
    }
  }
  return chain;
}

std::unique_ptr<THighlighterChain> LoadHighlighterChain(const std::string& path) {
  return BuildHighlighterChain(LoadStoredConfigFile(path));
}

const std::array<TVocabularyCategoryInfo, 5>& VocabularyCategories() {
  static const std::array<TVocabularyCategoryInfo, 5> categories = {{
      {TVocabularyCategory::Functions, "extension/function", 4, 4, "Functions"},
      {TVocabularyCategory::Variables, "extension/var", 1, 2, "Variables"},
      {TVocabularyCategory::Commands, "extension/command", 2, 1, "Commands"},
      {TVocabularyCategory::BlockTypes, "extension/blocktype", 3, 3, "BlockTypes"},
      {TVocabularyCategory::Parameters, "extension/parameters", 5, 5, "Parameters"},
  }};
  return categories;
}

void LoadVocabulary(THighlighterChain& chain, const std::array<std::vector<std::u16string>, 5>& items,
                    const std::function<TColor(const char* syntaxKey, TColor templateColour)>& colour) {
  const auto& categories = VocabularyCategories();
  for (size_t c = 0; c < categories.size(); ++c) {
    const TVocabularyCategoryInfo& info = categories[c];
    const std::vector<std::u16string>& words = items[c];
    if (words.empty()) continue;
    TExtKeywordList& list = chain.U(info.Highlighter).Keywords;
    if (list.Count() == 0) continue;
    const TKeywordAttributes t = list.GetKeywordAttributes(0);
    const TColor foreground = colour ? colour(info.SyntaxKey, t.Foreground) : t.Foreground;
    list.BeginUpdate();
    for (const std::u16string& word : words) {
      const bool menuMode = info.Category == TVocabularyCategory::BlockTypes && word == u"MenuMode";
      const int32_t context = menuMode ? 11 : info.ContextNum;
      list.AddExtKeyword(word, t.Options, t.Style, static_cast<int16_t>(context), 0, 1, t.Cursor, t.Background,
                         foreground);
    }
    list.Delete(0);
    list.EndUpdate();
  }
}

std::array<std::vector<std::u16string>, 5> ReadVocabularyItems(const TXmlDocument& document) {
  std::array<std::vector<std::u16string>, 5> items;
  const auto& categories = VocabularyCategories();
  for (size_t c = 0; c < categories.size(); ++c) {
    for (const TXmlNode& node : document.SelectNodes(categories[c].TagPath)) {
      std::u16string text = node.Text();
      size_t a = 0;
      size_t b = text.size();
      while (a < b && text[a] <= 32) ++a;
      while (b > a && text[b - 1] <= 32) --b;
      items[c].push_back(text.substr(a, b - a));
    }
  }
  return items;
}

}  // namespace qm
