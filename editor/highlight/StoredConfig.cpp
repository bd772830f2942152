// Reader and writer of the stored configuration text.
#include "editor/highlight/StoredConfig.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "platform/CodePage.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

constexpr int kEndOfLine = -1;      // what Peek returns past the last byte of a line
constexpr size_t kWrapColumn = 80;  // lists are wrapped before this column
constexpr const char* kListIndent = "    ";

bool IsLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsNameChar(int c) { return IsLetter(c) || IsDigit(c) || c == '.'; }
bool IsBlank(int c) { return c == ' ' || c == '\t'; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::string LowerName(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

// A letter first; dots only between non-empty parts ("Keywords.Strings").
bool IsValidName(std::string_view s) {
  if (s.empty() || !IsLetter(static_cast<unsigned char>(s[0])) || s.back() == '.') return false;
  for (size_t i = 0; i < s.size(); ++i) {
    if (!IsNameChar(static_cast<unsigned char>(s[i]))) return false;
    if (s[i] == '.' && s[i + 1] == '.') return false;  // s[i + 1] exists: s does not end with '.'
  }
  return true;
}

bool ParseBoolean(std::string_view name, bool& value) {
  if (SameName(name, "True")) {
    value = true;
    return true;
  }
  if (SameName(name, "False")) {
    value = false;
    return true;
  }
  return false;
}

// Decodes the UTF-8 sequence at s[i]: its length, or 0 when it is invalid.
// Overlong forms, surrogates and values past U+10FFFF are invalid so that every
// accepted text has exactly one UTF-16 meaning.
size_t DecodeUtf8(std::string_view s, size_t i, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  size_t length;
  char32_t least;
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    length = 2;
    cp = b0 & 0x1F;
    least = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    length = 3;
    cp = b0 & 0x0F;
    least = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    length = 4;
    cp = b0 & 0x07;
    least = 0x10000;
  } else {
    return 0;
  }
  if (s.size() - i < length) return 0;
  for (size_t k = 1; k < length; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Token text for a message, cut short so a fuzzed megabyte of digits does not
// end up in one.
std::string Snippet(std::string_view text) {
  constexpr size_t kMax = 40;
  if (text.size() <= kMax) return "\"" + std::string(text) + "\"";
  return "\"" + std::string(text.substr(0, kMax)) + "...\"";
}

class Parser {
 public:
  explicit Parser(std::string_view text) {
    size_t start = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    for (size_t i = start; i < text.size(); ++i) {
      if (text[i] != '\n' && text[i] != '\r') continue;
      lines_.push_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
    if (start < text.size()) lines_.push_back(text.substr(start));
  }

  TStoredConfig Run() {
    for (row_ = 0; row_ < lines_.size(); ++row_) {
      col_ = 0;
      SkipBlanks();
      if (AtEol() || Peek() == '#') continue;  // blank or comment line
      const int line = LineNo();
      if (!IsLetter(Peek())) Fail(line, "unexpected " + Describe() + " at the start of a line");
      const std::string word = ReadName();
      SkipBlanks();
      // "=" first: a property may be called "Object" or "End".
      if (Peek() == '=')
        ReadProperty(word, line);
      else if (SameName(word, "object"))
        OpenObject(line);
      else if (SameName(word, "end"))
        CloseObject(line);
      else
        Fail(line, "expected \"=\" after " + Snippet(word));
    }
    if (inObject_)
      Fail(config_.Objects.back().Line, "object " + Snippet(config_.Objects.back().Name) + " has no \"end\"");
    return std::move(config_);
  }

 private:
  // "name = value" inside an object; the name was read.
  void ReadProperty(const std::string& name, int line) {
    if (!inObject_) Fail(line, "property " + Snippet(name) + " outside an object");
    const auto [at, fresh] = propertyLines_.emplace(LowerName(name), line);
    if (!fresh) Fail(line, "property " + Snippet(name) + " is already set on line " + std::to_string(at->second));
    ++col_;
    SkipBlanks();
    TStoredValue value = ReadValue();
    ExpectEndOfLine("after the value of " + Snippet(name));
    config_.Objects.back().Properties.push_back(TStoredProperty{name, std::move(value), line});
  }

  // "object Name: Class"; the word "object" was read.
  void OpenObject(int line) {
    if (inObject_)
      Fail(line, "object inside object " + Snippet(config_.Objects.back().Name) +
                     " (objects do not nest; is an \"end\" missing?)");
    if (!IsLetter(Peek())) Fail(line, "expected an object name after \"object\"");
    std::string name = ReadName();
    SkipBlanks();
    if (Peek() != ':') Fail(line, "expected \":\" and a class name after the object name");
    ++col_;
    SkipBlanks();
    if (!IsLetter(Peek())) Fail(line, "expected a class name after \":\"");
    std::string className = ReadName();
    ExpectEndOfLine("after the class name");
    const auto [at, fresh] = objectLines_.emplace(LowerName(name), line);
    if (!fresh) Fail(line, "object " + Snippet(name) + " is already defined on line " + std::to_string(at->second));
    config_.Objects.push_back(TStoredObject{std::move(name), std::move(className), {}, line});
    inObject_ = true;
    propertyLines_.clear();
  }

  // "end" closes the open object.
  void CloseObject(int line) {
    ExpectEndOfLine("after \"end\"");
    if (!inObject_) Fail(line, "\"end\" without an open object");
    inObject_ = false;
  }

  [[noreturn]] static void Fail(int line, const std::string& what) {
    throw EReadError("line " + std::to_string(line) + ": " + what);
  }

  int LineNo() const { return static_cast<int>(row_ + 1); }
  std::string_view Line() const { return lines_[row_]; }
  bool AtEol() const { return col_ >= lines_[row_].size(); }
  int Peek() const { return AtEol() ? kEndOfLine : static_cast<unsigned char>(lines_[row_][col_]); }

  void SkipBlanks() {
    while (IsBlank(Peek())) ++col_;
  }

  // Moves to the next non-blank character, across lines; false at the end of the text.
  bool SkipSpaceAcrossLines() {
    for (;;) {
      SkipBlanks();
      if (!AtEol()) return true;
      if (row_ + 1 >= lines_.size()) return false;
      ++row_;
      col_ = 0;
    }
  }

  // The character at the cursor, readable in a message whatever the bytes are.
  std::string Describe() const {
    if (AtEol()) return "end of line";
    const int c = Peek();
    if (c >= 0x20 && c < 0x7F) return c == '"' ? "'\"'" : "\"" + std::string(1, static_cast<char>(c)) + "\"";
    char32_t cp;
    const size_t length = DecodeUtf8(Line(), col_, cp);
    if (length > 1) return "\"" + std::string(Line().substr(col_, length)) + "\"";
    char text[16];
    std::snprintf(text, sizeof text, "byte 0x%02X", static_cast<unsigned>(c));
    return text;
  }

  void ExpectEndOfLine(const std::string& where) {
    SkipBlanks();
    if (!AtEol()) Fail(LineNo(), "unexpected " + Describe() + " " + where);
  }

  // The cursor is on a letter.
  std::string ReadName() {
    const size_t start = col_;
    while (IsNameChar(Peek())) ++col_;
    const std::string_view name = Line().substr(start, col_ - start);
    if (!IsValidName(name)) Fail(LineNo(), "bad name " + Snippet(name));
    return std::string(name);
  }

  TStoredValue ReadValue() {
    const int c = Peek();
    if (c == kEndOfLine) Fail(LineNo(), "missing value after \"=\"");
    if (c == '\'' || c == '#') return TStoredValue::OfItem(TStoredItem::WideString(ReadString()));
    if (c == '-' || c == '$' || IsDigit(c)) return TStoredValue::OfItem(TStoredItem::Integer(ReadInteger()));
    if (c == '[') return ReadSet();
    if (c == '(') return ReadList();
    if (IsLetter(c)) {
      std::string name = ReadName();
      bool flag;
      if (ParseBoolean(name, flag)) return TStoredValue::OfItem(TStoredItem::Boolean(flag));
      return TStoredValue::OfIdentifier(std::move(name));
    }
    Fail(LineNo(), "unexpected " + Describe() + " where a value was expected");
  }

  // Quoted parts and #codes with nothing between them: 'a'#13#10'b'.
  std::u16string ReadString() {
    const int line = LineNo();
    std::u16string out;
    for (;;) {
      if (Peek() == '\'') {
        ++col_;
        for (;;) {
          if (AtEol()) Fail(line, "unterminated string (the closing \"'\" is missing)");
          if (Line()[col_] == '\'') {
            if (col_ + 1 < Line().size() && Line()[col_ + 1] == '\'') {
              out.push_back(u'\'');
              col_ += 2;
              continue;
            }
            ++col_;
            break;
          }
          char32_t cp;
          const size_t length = DecodeUtf8(Line(), col_, cp);
          if (length == 0) Fail(line, "invalid UTF-8 inside a string");
          AppendUtf16(out, cp);
          col_ += length;
        }
      } else if (Peek() == '#') {
        ++col_;
        const size_t start = col_;
        uint32_t code = 0;
        while (IsDigit(Peek())) {
          // Capped so that any number of digits neither overflows nor passes as valid.
          code = std::min<uint32_t>(code * 10 + static_cast<uint32_t>(Peek() - '0'), 65536);
          ++col_;
        }
        const std::string_view digits = Line().substr(start, col_ - start);
        if (digits.empty())
          Fail(line, "\"#\" must be followed by a decimal character code (comments cannot go inside a list)");
        if (code > 65535)
          Fail(line, "character code #" + std::string(digits.substr(0, 20)) + (digits.size() > 20 ? "..." : "") +
                         " is out of range (0..65535)");
        out.push_back(static_cast<char16_t>(code));
      } else {
        return out;
      }
    }
  }

  // Decimal with an optional '-', or '$' and hex digits; the 32-bit pattern of
  // a hex number is the value ($FFFFFFFF is -1).
  int32_t ReadInteger() {
    const int line = LineNo();
    const size_t start = col_;
    if (Peek() == '-') ++col_;
    while (IsNameChar(Peek()) || Peek() == '$') ++col_;  // the whole token, so "12abc" fails as one
    const std::string_view token = Line().substr(start, col_ - start);
    std::string_view body = token;
    const bool negative = body.starts_with('-');
    if (negative) body.remove_prefix(1);
    const bool hex = body.starts_with('$');
    if (hex) body.remove_prefix(1);
    if (body.empty() || (negative && hex)) Fail(line, "bad number " + Snippet(token));
    const uint32_t base = hex ? 16 : 10;
    for (char c : body) {
      const bool ok =
          IsDigit(static_cast<unsigned char>(c)) || (hex && ((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')));
      if (!ok) Fail(line, "bad number " + Snippet(token));
    }
    const uint64_t limit = hex ? 0xFFFFFFFFull : negative ? 2147483648ull : 2147483647ull;
    uint64_t value = 0;
    for (char c : body) {
      const uint64_t digit = IsDigit(static_cast<unsigned char>(c)) ? static_cast<uint64_t>(c - '0')
                                                                    : static_cast<uint64_t>(LowerAscii(c) - 'a' + 10);
      value = value * base + digit;
      if (value > limit) Fail(line, "number " + Snippet(token) + " does not fit in 32 bits");
    }
    if (hex) return static_cast<int32_t>(static_cast<uint32_t>(value));
    return negative ? static_cast<int32_t>(-static_cast<int64_t>(value)) : static_cast<int32_t>(value);
  }

  // On one line: [fsBold, fsItalic] or [].
  TStoredValue ReadSet() {
    const int line = LineNo();
    ++col_;
    std::vector<std::string> set;
    SkipBlanks();
    if (Peek() == ']') {
      ++col_;
      return TStoredValue::OfSet(std::move(set));
    }
    for (;;) {
      SkipBlanks();
      if (AtEol()) Fail(line, "unterminated set (the closing \"]\" is missing)");
      if (!IsLetter(Peek())) Fail(line, "unexpected " + Describe() + " in a set");
      set.push_back(ReadName());
      SkipBlanks();
      if (Peek() == ',') {
        ++col_;
        continue;
      }
      if (Peek() == ']') {
        ++col_;
        return TStoredValue::OfSet(std::move(set));
      }
      if (AtEol()) Fail(line, "unterminated set (the closing \"]\" is missing)");
      Fail(line, "unexpected " + Describe() + " in a set");
    }
  }

  // Strings, integers and booleans between "(" and ")", across any number of lines.
  TStoredValue ReadList() {
    const int line = LineNo();
    ++col_;
    TStoredItems list;
    for (;;) {
      if (!SkipSpaceAcrossLines())
        Fail(line, "unterminated list (the closing \")\" is missing before the end of the text)");
      const int c = Peek();
      if (c == ')') {
        ++col_;
        return TStoredValue::OfList(std::move(list));
      }
      if (c == '\'' || c == '#') {
        list.push_back(TStoredItem::WideString(ReadString()));
      } else if (c == '-' || c == '$' || IsDigit(c)) {
        list.push_back(TStoredItem::Integer(ReadInteger()));
      } else if (IsLetter(c)) {
        const std::string name = ReadName();
        bool flag;
        if (!ParseBoolean(name, flag))
          Fail(LineNo(), Snippet(name) + " cannot be a list item (only strings, integers, True and False); " +
                             "is the \")\" of the list on line " + std::to_string(line) + " missing?");
        list.push_back(TStoredItem::Boolean(flag));
      } else {
        Fail(LineNo(), "unexpected " + Describe() + " in a list");
      }
      if (!AtEol() && !IsBlank(Peek()) && Peek() != ')')
        Fail(LineNo(), "unexpected " + Describe() + " after a list item");
    }
  }

  std::vector<std::string_view> lines_;
  TStoredConfig config_;
  bool inObject_ = false;
  std::unordered_map<std::string, int> objectLines_;
  std::unordered_map<std::string, int> propertyLines_;  // of the open object
  size_t row_ = 0;
  size_t col_ = 0;
};

// --- writing ---

[[noreturn]] void FailWrite(std::string_view name, const char* what) {
  throw Exception("Cannot write stored config: " + Snippet(name) + " is not a valid " + what);
}

void CheckName(std::string_view name, const char* what) {
  if (!IsValidName(name)) FailWrite(name, what);
}

// Quoted runs for visible text, #codes for what would be invisible or would
// break the line (controls, DEL, C1 controls) and for lone surrogates, which
// have no UTF-8 form.
std::string QuoteString(std::u16string_view s) {
  if (s.empty()) return "''";
  std::string out;
  bool open = false;
  for (size_t i = 0; i < s.size(); ++i) {
    const char16_t c = s[i];
    char32_t cp = c;
    bool literal;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (static_cast<char32_t>(s[i + 1]) - 0xDC00);
      literal = true;
      ++i;
    } else {
      literal = !(c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0xD800 && c <= 0xDFFF));
    }
    if (literal) {
      if (!open) out.push_back('\'');
      open = true;
      if (cp == '\'') {
        out += "''";
      } else {
        AppendUtf8(out, cp);
      }
    } else {
      if (open) out.push_back('\'');
      open = false;
      out += '#' + std::to_string(static_cast<unsigned>(c));
    }
  }
  if (open) out.push_back('\'');
  return out;
}

std::string ItemText(const TStoredItem& item) {
  switch (item.Kind) {
    case TStoredKind::String: return QuoteString(AnsiToWide(item.Ansi));
    case TStoredKind::WideString: return QuoteString(item.Wide);
    case TStoredKind::Integer: return std::to_string(item.Int);
    case TStoredKind::Boolean: return item.Bool ? "True" : "False";
  }
  return "0";
}

// "(" alone on the property line, items packed into indented lines, ")" after the last item.
void WriteList(std::string& out, const TStoredItems& list) {
  if (list.empty()) {
    out += "()";
    return;
  }
  out += "(";
  std::string line;
  for (const TStoredItem& item : list) {
    const std::string text = ItemText(item);
    if (!line.empty() && line.size() + 1 + text.size() > kWrapColumn) {
      out += "\n" + line;
      line.clear();
    }
    line += line.empty() ? kListIndent + text : " " + text;
  }
  out += "\n" + line + ")";
}

void WriteValue(std::string& out, const TStoredValue& value) {
  switch (value.Kind) {
    case TStoredValueKind::Item: out += ItemText(value.Item); return;
    case TStoredValueKind::Identifier: {
      bool flag;
      if (ParseBoolean(value.Identifier, flag)) FailWrite(value.Identifier, "identifier (it reads as a boolean)");
      CheckName(value.Identifier, "identifier");
      out += value.Identifier;
      return;
    }
    case TStoredValueKind::Set:
      out += "[";
      for (size_t i = 0; i < value.Set.size(); ++i) {
        CheckName(value.Set[i], "set element");
        if (i > 0) out += ", ";
        out += value.Set[i];
      }
      out += "]";
      return;
    case TStoredValueKind::List: WriteList(out, value.List); return;
  }
}

}  // namespace

TStoredValue TStoredValue::OfItem(TStoredItem item) {
  TStoredValue value;
  value.Kind = TStoredValueKind::Item;
  value.Item = std::move(item);
  return value;
}

TStoredValue TStoredValue::OfIdentifier(std::string identifier) {
  TStoredValue value;
  value.Kind = TStoredValueKind::Identifier;
  value.Identifier = std::move(identifier);
  return value;
}

TStoredValue TStoredValue::OfSet(std::vector<std::string> set) {
  TStoredValue value;
  value.Kind = TStoredValueKind::Set;
  value.Set = std::move(set);
  return value;
}

TStoredValue TStoredValue::OfList(TStoredItems list) {
  TStoredValue value;
  value.Kind = TStoredValueKind::List;
  value.List = std::move(list);
  return value;
}

const TStoredProperty* TStoredObject::FindProperty(std::string_view name) const {
  for (const TStoredProperty& property : Properties)
    if (SameName(property.Name, name)) return &property;
  return nullptr;
}

const TStoredValue* TStoredObject::Find(std::string_view name) const {
  const TStoredProperty* property = FindProperty(name);
  return property ? &property->Value : nullptr;
}

const TStoredObject* TStoredConfig::Find(std::string_view name) const {
  for (const TStoredObject& object : Objects)
    if (SameName(object.Name, name)) return &object;
  return nullptr;
}

TStoredConfig ParseStoredConfig(std::string_view utf8Text) { return Parser(utf8Text).Run(); }

std::string WriteStoredConfig(const TStoredConfig& config) {
  std::string out;
  // Duplicates are refused because the reader refuses them.
  std::unordered_set<std::string> objectNames;
  for (const TStoredObject& object : config.Objects) {
    CheckName(object.Name, "object name");
    CheckName(object.ClassName, "class name");
    if (!objectNames.insert(LowerName(object.Name)).second) FailWrite(object.Name, "object name (it is a duplicate)");
    out += "object " + object.Name + ": " + object.ClassName + "\n";
    std::unordered_set<std::string> propertyNames;
    for (const TStoredProperty& property : object.Properties) {
      CheckName(property.Name, "property name");
      if (!propertyNames.insert(LowerName(property.Name)).second)
        FailWrite(property.Name, "property name (it is a duplicate)");
      out += "  " + property.Name + " = ";
      WriteValue(out, property.Value);
      out += "\n";
    }
    out += "end\n";
  }
  return out;
}

TStoredConfig LoadStoredConfigFile(const std::string& path) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) throw EReadError("Cannot open file \"" + path + "\"");
  std::string text;
  char buffer[1 << 16];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) text.append(buffer, got);
  // A directory opens but fails here.
  if (std::ferror(file.get())) throw EReadError("Cannot read file \"" + path + "\"");
  try {
    return ParseStoredConfig(text);
  } catch (const EReadError& e) {
    throw EReadError(path + ": " + e.Message);
  }
}

}  // namespace qm
