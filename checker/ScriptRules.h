// TScriptRules: the script language's constructs for the checker, read from a small text file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qm::check {

// Where a construct may open.
enum class TWhere { Top, Block, Any };

// One construct: the words that open it, continue it, continue it a last
// time (after which only its close may follow, as "else" in an "if") and
// close it. Words are kept as the file writes them; they match in any case.
struct TConstruct {
  std::u16string Name;
  std::vector<std::u16string> Opens;
  std::vector<std::u16string> Continues;
  std::vector<std::u16string> Last;
  std::vector<std::u16string> Closes;
  TWhere Where = TWhere::Any;
};

// The rules of a script: its constructs, the words that begin the script-name
// line, and the assignment's two words ("set" … "to").
struct TScriptRules {
  std::vector<TConstruct> Constructs;
  std::vector<std::u16string> HeaderWords;
  std::u16string AssignWord;
  std::u16string AssignTo;
  // The construct that must stand at the top level (begin … end), or -1.
  int BlockConstruct() const;
};

// Reads the text of a rules file (UTF-8):
//   # a comment
//   construct NAME: opens W…; continues W…; last W…; closes W…; where top|block|any
//   header: W…
//   assignment: W TO
// Raises EReadError "line N: …" for a line it cannot read.
TScriptRules ParseScriptRules(std::string_view text);

}  // namespace qm::check
