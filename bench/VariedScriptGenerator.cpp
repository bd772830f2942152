// Builds large scripts whose lines rarely repeat, for benchmarks that must not flatter a cache.
#include "bench/VariedScriptGenerator.h"

#include <charconv>
#include <string_view>
#include <vector>

#include "bench/ScriptGenerator.h"
#include "bench/SplitMix.h"
#include "bench/VocabGenerator.h"

namespace qm::bench {
namespace {

using View = std::string_view;

constexpr View kSyllables[] = {"ka",  "vor", "mil", "dra", "ush", "tel", "brin", "os", "gar", "eth",
                               "lum", "qua", "rik", "sto", "zen", "ful", "mor",  "ny", "pex", "wal"};
constexpr View kTypes[] = {"short", "long", "float", "ref", "Short", "Float", "REF", "int"};
constexpr View kOperators[] = {"==", "!=", "<", ">", "<=", ">=", "&&", "||", "+", "-", "*", "/"};
constexpr View kIndents[] = {"\t", "\t", "  ", " \t", "    "};
constexpr View kKeywordsInText[] = {"if", "begin", "end", "set", "to", "elseif", "endif", "return", "scn"};

// Cyrillic and Latin words for strings and comments (UTF-8, converted once).
constexpr View kWordsUtf8[] = {"сундук",  "мост",   "стража", "золото", "ключ",    "туман",  "Ёж",      "рычаг",
                               "призрак", "кольцо", "карта",  "дверь",  "награда", "тайник", "колокол", "«метка»",
                               "lever",   "gate",   "vault",  "ember",  "rune",    "ashen",  "Ferry",   "—"};

// The words of every <tag> element of a vocabulary file, trimmed.
std::vector<std::string> WordsOf(View xml, View tag) {
  std::vector<std::string> words;
  const std::string open = "<" + std::string(tag);
  for (size_t at = xml.find(open); at != View::npos; at = xml.find(open, at + 1)) {
    const size_t after = at + open.size();
    if (after >= xml.size() || (xml[after] != '>' && xml[after] != ' ')) continue;
    const size_t start = xml.find('>', after);
    const size_t stop = xml.find('<', start);
    if (start == View::npos || stop == View::npos) break;
    View word = xml.substr(start + 1, stop - start - 1);
    while (!word.empty() && static_cast<unsigned char>(word.front()) <= ' ') word.remove_prefix(1);
    while (!word.empty() && static_cast<unsigned char>(word.back()) <= ' ') word.remove_suffix(1);
    if (!word.empty()) words.emplace_back(word);
  }
  return words;
}

class Generator {
 public:
  Generator(size_t lines, size_t functions, uint32_t seed)
      : lines_(lines), left_(static_cast<int64_t>(lines)), random_(seed) {
    const std::string vocabulary = GenerateVocabulary(functions, seed);
    functions_ = WordsOf(vocabulary, "function");
    blockTypes_ = WordsOf(vocabulary, "blocktype");
    for (View w : kWordsUtf8) words_.push_back(Utf8ToCp1251(w));
  }

  // The last script is cut where the count of lines is reached.
  std::string Run() {
    out_.reserve(lines_ * 40 + 64);
    while (left_ > 0) Script();
    size_t at = 0;
    for (size_t line = 0; line < lines_; ++line) at = out_.find("\r\n", at) + 2;
    out_.resize(at);
    return std::move(out_);
  }

 private:
  uint32_t Below(size_t n) { return random_.Below(n); }
  bool Chance(uint32_t percent) { return random_.Chance(percent); }
  template <typename List>
  View Pick(const List& items) {
    return items[Below(std::size(items))];
  }

  void Close() {
    if (Chance(4)) out_.append(1 + Below(3), Chance(50) ? ' ' : '\t');  // trailing blanks
    out_ += "\r\n";
    --left_;
  }
  void Indent(int depth) {
    for (int i = 0; i < depth; ++i) out_ += indent_;
  }
  void Int(long long value) {
    char buffer[24];
    out_.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
  }
  void Number() {
    const uint32_t kind = Below(4);
    if (kind == 0) {
      Int(Below(10));
    } else if (kind == 1) {
      Int(static_cast<long long>(random_.Next() % 100000));
    } else {
      Int(Below(5000));
      out_ += '.';
      Int(Below(kind == 2 ? 100 : 100000));
    }
  }
  // A new name of a few syllables and a number, in one of several letter cases.
  std::string Name() {
    std::string name;
    const uint32_t syllables = 2 + Below(2);
    for (uint32_t i = 0; i < syllables; ++i) {
      std::string s(Pick(kSyllables));
      if (i > 0 || Chance(30)) s[0] = static_cast<char>(s[0] - 'a' + 'A');
      name += s;
    }
    if (Chance(50)) name += std::to_string(Below(1000));
    return name;
  }
  View Variable() { return variables_.empty() ? View("fallback") : View(variables_[Below(variables_.size())]); }

  void Words(uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
      if (i > 0) out_ += ' ';
      const uint32_t kind = Below(10);
      if (kind < 5)
        out_ += Pick(words_);
      else if (kind < 7)
        out_ += Pick(functions_);
      else if (kind < 8)
        out_ += Pick(kKeywordsInText);
      else
        Number();
    }
  }
  void Comment(uint32_t words) {
    out_ += Chance(80) ? "; " : ";";
    Words(words);
  }
  void String() {
    out_ += '"';
    Words(1 + Below(4));
    if (Chance(20)) out_ += " %.2f";
    out_ += '"';
  }
  void Expression(uint32_t terms) {
    for (uint32_t i = 0; i < terms; ++i) {
      if (i > 0) {
        out_ += ' ';
        out_ += Pick(kOperators);
        out_ += ' ';
      }
      const uint32_t kind = Below(4);
      if (kind == 0)
        Number();
      else if (kind == 1)
        out_ += Variable();
      else if (kind == 2)
        out_ += Pick(functions_);
      else {
        out_ += '(';
        out_ += Variable();
        out_ += " * ";
        Number();
        out_ += ')';
      }
    }
  }
  void Call() {
    if (Chance(30)) {
      out_ += Variable();
      out_ += '.';
    }
    out_ += Pick(functions_);
    const uint32_t args = Below(3);
    for (uint32_t i = 0; i < args; ++i) {
      out_ += Chance(20) ? ", " : " ";
      if (Chance(25))
        String();
      else if (Chance(50))
        Number();
      else
        out_ += Variable();
    }
  }

  void Statement(int depth) {
    Indent(depth);
    const uint32_t kind = Below(20);
    if (kind < 7) {
      out_ += Chance(90) ? "set " : "Set ";
      out_ += Variable();
      out_ += " to ";
      Expression(1 + Below(3));
    } else if (kind < 13) {
      Call();
    } else if (kind < 15) {
      Comment(2 + Below(7));
    } else if (kind < 16) {
      out_ += "MessageBox ";
      String();
    } else if (kind < 17 && Chance(2)) {
      LongLine();
    } else {
      Call();
    }
    if (Chance(8)) {
      out_ += Chance(50) ? " " : "\t";
      Comment(1 + Below(4));
    }
    Close();
  }
  // A line of a thousand characters and more: a long sum or a long comment.
  void LongLine() {
    if (Chance(50)) {
      out_ += "set ";
      out_ += Variable();
      out_ += " to ";
      Expression(100 + Below(200));
    } else {
      Comment(150 + Below(400));
    }
  }

  void IfBlock(int depth, int nesting) {
    Indent(depth);
    out_ += Chance(85) ? "if " : "If ";
    Expression(1 + Below(3));
    Close();
    Body(depth + 1, nesting + 1);
    while (Chance(30)) {
      Indent(depth);
      out_ += "elseif ";
      Expression(1 + Below(3));
      Close();
      Body(depth + 1, nesting + 1);
    }
    if (Chance(40)) {
      Indent(depth);
      out_ += "else";
      Close();
      Body(depth + 1, nesting + 1);
    }
    Indent(depth);
    out_ += Chance(90) ? "endif" : "EndIf";
    Close();
  }
  void Body(int depth, int nesting) {
    const uint32_t statements = 1 + Below(8);
    for (uint32_t i = 0; i < statements && left_ > 4; ++i) {
      if (nesting < 5 && Chance(15))
        IfBlock(depth, nesting);
      else if (Chance(3))
        Close();  // a blank line
      else
        Statement(depth);
    }
  }

  void Script() {
    indent_ = Pick(kIndents);
    variables_.clear();
    out_ += Chance(70) ? "scn " : "ScriptName ";
    out_ += Name();
    Close();
    const uint32_t declared = 2 + Below(12);
    for (uint32_t i = 0; i < declared && left_ > 0; ++i) {
      out_ += Pick(kTypes);
      out_ += ' ';
      variables_.push_back(Name());
      out_ += variables_.back();
      if (Chance(15)) {
        out_ += "  ";
        Comment(2 + Below(5));
      }
      Close();
    }
    const uint32_t blocks = 1 + Below(4);
    for (uint32_t b = 0; b < blocks && left_ > 6; ++b) {
      out_ += "begin ";
      out_ += Pick(blockTypes_);
      Close();
      Body(1, 0);
      out_ += "end";
      Close();
    }
    if (left_ > 0) Close();
  }

  size_t lines_;
  int64_t left_;  // lines still wanted; the script being written may pass it
  TSplitMix random_;
  std::string out_;
  std::vector<std::string> functions_;
  std::vector<std::string> blockTypes_;
  std::vector<std::string> words_;
  std::vector<std::string> variables_;
  View indent_;
};

}  // namespace

std::string GenerateVariedScript(size_t lines, size_t functions, uint32_t seed) {
  return Generator(lines, functions, seed).Run();
}

}  // namespace qm::bench
