// The script checker: structure and vocabulary mistakes of a script, each with its line and column.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "checker/ScriptRules.h"
#include "checker/ScriptVocabulary.h"

namespace qm::check {

enum class TSeverity : uint8_t { Error, Warning };

// One problem: Line and Column count from 0 (Column in UTF-16 units of the
// line), Length units of the line are marked (1 at least, where the line
// holds text there).
struct TDiagnostic {
  int Line = 0;
  int32_t Column = 0;
  int32_t Length = 1;
  TSeverity Severity = TSeverity::Error;
  std::u16string Message;
  bool operator==(const TDiagnostic&) const = default;
};

// The lines of a text. With crlfOnly only CR LF ends a line, as the editor
// joins its paragraphs (a lone LF stays inside its paragraph); otherwise CR
// LF, LF CR, CR and LF all do, as a load reads a file.
std::vector<std::u16string_view> SplitLines(std::u16string_view text, bool crlfOnly);

// The word separators of the script language, as the highlighters split words.
const std::u16string& ScriptSeparators();

// Checks a script read as the highlighter reads it: comments after ";",
// strings in double quotes, words between the separators, letter case
// ignored. The problems come in the order of their lines.
std::vector<TDiagnostic> CheckScript(const std::vector<std::u16string_view>& lines, const TScriptRules& rules,
                                     const TScriptVocabulary& vocabulary);

// How many of the diagnostics are errors, and how many warnings.
struct TDiagnosticCounts {
  int Errors = 0;
  int Warnings = 0;
};
TDiagnosticCounts CountDiagnostics(const std::vector<TDiagnostic>& diagnostics);

}  // namespace qm::check
