// The script checker: a line's words, the stack of open constructs, declarations and the words in a call's place.
#include "checker/ScriptChecker.h"

#include <algorithm>
#include <unordered_map>

#include "editor/store/CaseFolding.h"
#include "editor/store/Types.h"

namespace qm::check {
namespace {

// A word of a line: where it stands, and whether a "." joins it to the word
// before (the function of "reference.function", the variable of
// "object.variable").
struct TWord {
  int32_t Start = 0;
  int32_t Length = 0;
  bool AfterDot = false;
};

// The words of one line outside its strings and its comment, and where a
// string that the line does not close begins (-1: none).
struct TLineWords {
  std::vector<TWord> Words;
  int32_t OpenQuote = -1;
};

const TCharSet& Separators() {
  static const TCharSet set = [] {
    TCharSet s(ScriptSeparators());
    for (char16_t c = 0; c <= 26; ++c) s.Add(c);
    return s;
  }();
  return set;
}

void ReadWords(std::u16string_view line, TLineWords& out) {
  out.Words.clear();
  out.OpenQuote = -1;
  const TCharSet& seps = Separators();
  const auto n = static_cast<int32_t>(line.size());
  int32_t i = 0;
  while (i < n) {
    const char16_t c = line[static_cast<size_t>(i)];
    if (c == u';') return;  // a comment to the end of the line
    if (c == u'"') {
      const size_t close = line.find(u'"', static_cast<size_t>(i) + 1);
      if (close == std::u16string_view::npos) {
        out.OpenQuote = i;
        return;
      }
      i = static_cast<int32_t>(close) + 1;
      continue;
    }
    if (seps.Contains(c)) {
      ++i;
      continue;
    }
    int32_t j = i + 1;
    while (j < n && !seps.Contains(line[static_cast<size_t>(j)]) && line[static_cast<size_t>(j)] != u'"') ++j;
    out.Words.push_back(TWord{i, j - i, i > 0 && line[static_cast<size_t>(i) - 1] == u'.'});
    i = j;
  }
}

bool IsNumber(std::u16string_view word) {
  return !word.empty() && std::all_of(word.begin(), word.end(), [](char16_t c) {
    return (c >= u'0' && c <= u'9') || c == u'-' || c == u'+';
  }) && std::any_of(word.begin(), word.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

std::u16string Quoted(std::u16string_view word) { return u"«" + std::u16string(word) + u"»"; }

enum class TRole : uint8_t { Open, Continue, Last, Close };

struct TRoleOf {
  int Construct;
  TRole Role;
};

// An open construct on the stack.
struct TFrame {
  int Construct = 0;
  int Line = 0;
  int32_t Column = 0;
  int32_t Length = 0;
  bool SawLast = false;
};

// A word that is only a mistake if no line of the script declares it.
struct TUndeclared {
  TDiagnostic Diagnostic;
  std::u16string Folded;
};

class TChecker {
 public:
  TChecker(const TScriptRules& rules, const TScriptVocabulary& vocabulary)
      : rules_(rules), vocabulary_(vocabulary), block_(rules.BlockConstruct()) {
    for (size_t c = 0; c < rules.Constructs.size(); ++c) {
      const TConstruct& k = rules.Constructs[c];
      auto add = [&](const std::vector<std::u16string>& words, TRole role) {
        for (const std::u16string& w : words) roles_[Fold(w)].push_back(TRoleOf{static_cast<int>(c), role});
      };
      add(k.Opens, TRole::Open);
      add(k.Continues, TRole::Continue);
      add(k.Last, TRole::Last);
      add(k.Closes, TRole::Close);
    }
    for (const std::u16string& w : rules.HeaderWords) header_.Add(Fold(w));
    assign_ = Fold(rules.AssignWord);
    assignTo_ = Fold(rules.AssignTo);
  }

  std::vector<TDiagnostic> Run(const std::vector<std::u16string_view>& lines) {
    headerLine_ = HeaderLine(lines);
    for (size_t l = 0; l < lines.size(); ++l) Line(static_cast<int>(l), lines[l]);
    FinishScript();
    std::stable_sort(out_.begin(), out_.end(), [](const TDiagnostic& a, const TDiagnostic& b) {
      return a.Line != b.Line ? a.Line < b.Line : a.Column < b.Column;
    });
    return std::move(out_);
  }

 private:
  static std::u16string Fold(std::u16string_view w) { return FoldedCopy(w, pmuAnsi); }

  std::u16string_view Text(const TWord& w) const {
    return line_.substr(static_cast<size_t>(w.Start), static_cast<size_t>(w.Length));
  }
  // The word folded, in a buffer reused from word to word.
  std::u16string_view Folded(const TWord& w) {
    folded_.assign(Text(w));
    FoldCase(folded_, pmuAnsi);
    return folded_;
  }

  void Add(int line, int32_t column, int32_t length, TSeverity severity, std::u16string message) {
    out_.push_back(TDiagnostic{line, column, std::max(length, 1), severity, std::move(message)});
  }
  void Add(const TWord& w, TSeverity severity, std::u16string message) {
    Add(lineNo_, w.Start, w.Length, severity, std::move(message));
  }
  void Report(const TFrame& f, TSeverity severity, std::u16string message) {
    Add(f.Line, f.Column, f.Length, severity, std::move(message));
  }

  const TConstruct& Construct(int c) const { return rules_.Constructs[static_cast<size_t>(c)]; }
  std::u16string OpenWord(int c) const { return Construct(c).Opens.front(); }
  std::u16string CloseWord(int c) const { return Construct(c).Closes.front(); }
  std::u16string NotClosedMessage(const TFrame& f) const {
    if (f.Construct == block_)
      return u"Блок " + Quoted(OpenWord(f.Construct)) + u" не закрыт: нет " + Quoted(CloseWord(f.Construct));
    return Quoted(OpenWord(f.Construct)) + u" не закрыт: нет " + Quoted(CloseWord(f.Construct));
  }
  std::u16string HeaderNames() const {
    std::u16string out;
    for (const std::u16string& w : rules_.HeaderWords) out += (out.empty() ? u"" : u" или ") + w;
    return out;
  }

  bool InBlock() const {
    return std::any_of(stack_.begin(), stack_.end(), [this](const TFrame& f) { return f.Construct == block_; });
  }
  // The index on the stack of the nearest open block, or -1.
  int BlockFrame() const {
    for (int i = static_cast<int>(stack_.size()) - 1; i >= 0; --i)
      if (stack_[static_cast<size_t>(i)].Construct == block_) return i;
    return -1;
  }

  void Line(int lineNo, std::u16string_view line) {
    lineNo_ = lineNo;
    line_ = line;
    ReadWords(line, words_);
    if (words_.OpenQuote >= 0)
      Add(lineNo, words_.OpenQuote, static_cast<int32_t>(line.size()) - words_.OpenQuote, TSeverity::Error,
          u"Строка в кавычках не закрыта до конца строки");
    if (words_.Words.empty()) return;
    const TWord first = words_.Words.front();
    const std::u16string word(Folded(first));
    if (header_.Contains(word)) {
      if (lineNo != headerLine_) FinishScript();
      return;
    }
    if (!reportedHeader_ && (headerLine_ < 0 || lineNo < headerLine_)) {
      // Reported once, at the first statement.
      reportedHeader_ = true;
      Add(first, TSeverity::Error,
          (headerLine_ < 0 ? u"Нет строки с именем скрипта (" : u"Оператор до строки с именем скрипта (") +
              HeaderNames() + u")");
    }
    if (const auto it = roles_.find(word); it != roles_.end()) {
      Construct(it->second, first);
    } else if (word == assign_) {
      Assignment();
    } else if (vocabulary_.VarTypes.Contains(word)) {
      Declaration();
    } else {
      Call();
    }
  }

  // The end of a script: of the text, or where the next script's name line
  // begins another (a file may hold several).
  void FinishScript() {
    for (const TFrame& f : stack_) Report(f, TSeverity::Error, NotClosedMessage(f));
    stack_.clear();
    for (TUndeclared& u : undeclared_)
      if (!declared_.contains(u.Folded)) out_.push_back(std::move(u.Diagnostic));
    undeclared_.clear();
    declared_.clear();
  }

  // The first line that begins with a header word, or -1.
  int HeaderLine(const std::vector<std::u16string_view>& lines) {
    for (size_t l = 0; l < lines.size(); ++l) {
      line_ = lines[l];
      ReadWords(lines[l], words_);
      if (!words_.Words.empty() && header_.Contains(Folded(words_.Words.front()))) return static_cast<int>(l);
    }
    return -1;
  }

  void Construct(const std::vector<TRoleOf>& roles, const TWord& w) {
    const TRoleOf& r = roles.front();
    switch (r.Role) {
      case TRole::Open: Open(r.Construct, w); break;
      case TRole::Continue:
      case TRole::Last: Continue(r.Construct, r.Role == TRole::Last, w); break;
      case TRole::Close: Close(roles, w); break;
    }
  }

  void Open(int c, const TWord& w) {
    const TConstruct& k = Construct(c);
    if (k.Where == TWhere::Top && !stack_.empty()) {
      // The block before was not closed: it ends here, so that what follows is read afresh.
      Add(w, TSeverity::Error,
          Quoted(Text(w)) + u" внутри другого блока: предыдущий блок не закрыт " + Quoted(CloseWord(c)));
      stack_.clear();
    }
    if (k.Where == TWhere::Block && !InBlock())
      Add(w, TSeverity::Error,
          Quoted(Text(w)) + u" вне блока " + Quoted(OpenWord(block_)) + u" … " + Quoted(CloseWord(block_)));
    if (c == block_) BlockType(w);
    stack_.push_back(TFrame{c, lineNo_, w.Start, w.Length, false});
  }

  // The word after the block's opening word names its type.
  void BlockType(const TWord& w) {
    if (words_.Words.size() < 2) {
      Add(w, TSeverity::Warning, u"Не указан тип блока после " + Quoted(Text(w)));
      return;
    }
    const TWord& type = words_.Words[1];
    if (!vocabulary_.BlockTypes.Empty() && !vocabulary_.BlockTypes.Contains(Folded(type)))
      Add(type, TSeverity::Warning, u"Неизвестный тип блока " + Quoted(Text(type)));
  }

  // The constructs above the frame at `keep` were not closed: each is
  // reported and dropped.
  void CloseAbove(size_t keep, const TWord& w) {
    while (stack_.size() > keep + 1) {
      const TFrame f = stack_.back();
      stack_.pop_back();
      Report(f, TSeverity::Error,
             Quoted(OpenWord(f.Construct)) + u" не закрыт до " + Quoted(Text(w)) + u": нет " +
                 Quoted(CloseWord(f.Construct)));
    }
  }

  // The nearest frame of construct c inside the current block, or -1.
  int FrameOf(int c) const {
    const int floor = BlockFrame();
    for (int i = static_cast<int>(stack_.size()) - 1; i > floor; --i)
      if (stack_[static_cast<size_t>(i)].Construct == c) return i;
    return c == block_ ? floor : -1;
  }

  bool OutsideBlock(int c, const TWord& w) {
    if (Construct(c).Where != TWhere::Block || InBlock()) return false;
    Add(w, TSeverity::Error,
        Quoted(Text(w)) + u" вне блока " + Quoted(OpenWord(block_)) + u" … " + Quoted(CloseWord(block_)));
    return true;
  }

  void Continue(int c, bool last, const TWord& w) {
    if (OutsideBlock(c, w)) return;
    const int at = FrameOf(c);
    if (at < 0) {
      Add(w, TSeverity::Error, Quoted(Text(w)) + u" без " + Quoted(OpenWord(c)));
      return;
    }
    CloseAbove(static_cast<size_t>(at), w);
    TFrame& f = stack_.back();
    if (f.SawLast) {
      const std::u16string lastWord = Construct(c).Last.empty() ? std::u16string() : Construct(c).Last.front();
      Add(w, TSeverity::Error,
          last ? u"Второй " + Quoted(Text(w)) + u" в одном " + Quoted(OpenWord(c))
               : Quoted(Text(w)) + u" после " + Quoted(lastWord));
      return;
    }
    if (last) f.SawLast = true;
  }

  void Close(const std::vector<TRoleOf>& roles, const TWord& w) {
    // A word may close several constructs ("loop"): the nearest open one.
    int best = -1;
    for (const TRoleOf& r : roles) {
      if (r.Role != TRole::Close) continue;
      best = std::max(best, FrameOf(r.Construct));
    }
    const int c = roles.front().Construct;
    const bool outside = OutsideBlock(c, w);
    if (best < 0) {
      if (!outside) Add(w, TSeverity::Error, Quoted(Text(w)) + u" без " + Quoted(OpenWord(c)));
      return;
    }
    CloseAbove(static_cast<size_t>(best), w);
    stack_.pop_back();
  }

  // "set VARIABLE to VALUE".
  void Assignment() {
    const std::vector<TWord>& words = words_.Words;
    const bool hasTo =
        std::any_of(words.begin() + 1, words.end(), [this](const TWord& w) { return Folded(w) == assignTo_; });
    if (!hasTo) {
      Add(words.front(), TSeverity::Error, Quoted(Text(words.front())) + u" без " + Quoted(rules_.AssignTo));
      return;
    }
    if (words.size() < 2 || Folded(words[1]) == assignTo_) return;
    // "object.variable" belongs to another script: not checked.
    if (words.size() > 2 && words[2].AfterDot) return;
    const TWord& target = words[1];
    TUndeclared u;
    u.Folded = Folded(target);
    u.Diagnostic = TDiagnostic{lineNo_, target.Start, target.Length, TSeverity::Warning,
                               u"Присваивание необъявленной переменной " + Quoted(Text(target))};
    undeclared_.push_back(std::move(u));
  }

  // "TYPE NAME…": every name once in the script.
  void Declaration() {
    const std::vector<TWord>& words = words_.Words;
    for (size_t i = 1; i < words.size(); ++i) {
      const std::u16string name(Folded(words[i]));
      const auto [at, fresh] = declared_.emplace(name, lineNo_);
      if (!fresh)
        Add(words[i], TSeverity::Error,
            u"Переменная " + Quoted(Text(words[i])) + u" уже объявлена в строке " + Utf16Number(at->second + 1));
    }
  }

  static std::u16string Utf16Number(int n) {
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
  }

  // A statement that is a call: its function (of "reference.function", the
  // function part) must be in the vocabulary or be a declared variable.
  void Call() {
    if (vocabulary_.Callables.Empty()) return;
    const std::vector<TWord>& words = words_.Words;
    const TWord& call = words.size() > 1 && words[1].AfterDot ? words[1] : words[0];
    const std::u16string_view folded = Folded(call);
    if (IsNumber(folded) || vocabulary_.Callables.Contains(folded)) return;
    TUndeclared u;
    u.Folded = std::u16string(folded);
    u.Diagnostic = TDiagnostic{lineNo_, call.Start, call.Length, TSeverity::Warning,
                               u"Неизвестная функция или команда " + Quoted(Text(call))};
    undeclared_.push_back(std::move(u));
  }

  const TScriptRules& rules_;
  const TScriptVocabulary& vocabulary_;
  const int block_;
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::u16string_view s) const { return std::hash<std::u16string_view>()(s); }
  };
  std::unordered_map<std::u16string, std::vector<TRoleOf>, Hash, std::equal_to<>> roles_;
  std::unordered_map<std::u16string, int, Hash, std::equal_to<>> declared_;  // name → its line
  TWordSet header_;
  std::u16string assign_;
  std::u16string assignTo_;

  std::vector<TFrame> stack_;
  std::vector<TDiagnostic> out_;
  std::vector<TUndeclared> undeclared_;
  TLineWords words_;
  std::u16string folded_;
  std::u16string_view line_;
  int lineNo_ = 0;
  int headerLine_ = -1;
  bool reportedHeader_ = false;
};

}  // namespace

const std::u16string& ScriptSeparators() {
  static const std::u16string separators = u"\t $%&(),./:;<=>[]";
  return separators;
}

std::vector<std::u16string_view> SplitLines(std::u16string_view text, bool crlfOnly) {
  std::vector<std::u16string_view> lines;
  size_t start = 0;
  size_t i = 0;
  while (i < text.size()) {
    const char16_t c = text[i];
    const bool cr = c == u'\r';
    if (crlfOnly ? !(cr && i + 1 < text.size() && text[i + 1] == u'\n') : !(cr || c == u'\n')) {
      ++i;
      continue;
    }
    lines.push_back(text.substr(start, i - start));
    const char16_t other = cr ? u'\n' : u'\r';
    i += (i + 1 < text.size() && text[i + 1] == other) ? 2 : 1;
    start = i;
  }
  lines.push_back(text.substr(start));
  return lines;
}

std::vector<TDiagnostic> CheckScript(const std::vector<std::u16string_view>& lines, const TScriptRules& rules,
                                     const TScriptVocabulary& vocabulary) {
  return TChecker(rules, vocabulary).Run(lines);
}

TDiagnosticCounts CountDiagnostics(const std::vector<TDiagnostic>& diagnostics) {
  TDiagnosticCounts counts;
  for (const TDiagnostic& d : diagnostics) (d.Severity == TSeverity::Error ? counts.Errors : counts.Warnings)++;
  return counts;
}

}  // namespace qm::check
