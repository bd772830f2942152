// The snippet commands of the main window as data: operators, if lines and blocks, begin…end, declarations, menu modes.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace qm {

// How a snippet command types its text into the script editor.
enum class TSnippetStyle : uint8_t {
  Inline,    // into the caret line at the caret; after a word with a space before it
  Line,      // as new lines next to the caret line, indented like the code around it
  BeginEnd,  // a begin … end block appended at the end of the script
};

// Where a line snippet leaves the caret after the insertion.
enum class TSnippetCaret : uint8_t {
  Stay,             // where the line insertion left it
  FirstBeforeLast,  // on the first inserted line, before its last character
  FirstEnd,         // on the first inserted line, at its end
  LeftLineEnd,      // at the end of the line on which the line insertion left it
};

struct TSnippetSpec {
  const char* Name;     // the action's component name
  const char* Caption;  // menu text (a doubled ampersand shows one)
  const char* Hint;     // tool tip; nullptr for none
  TSnippetStyle Style;
  // Inline: the text typed where no word touches the caret.
  // Line: the lines without their indent, CR between lines, used with nothing selected.
  const char* Text;
  // Line: the text used when text was selected (deleted before the insertion).
  const char* SelectedText;
  TSnippetCaret Caret;          // line: with nothing selected
  TSnippetCaret SelectedCaret;  // line: when text was selected
};

// Every snippet command, in the order of the action list.
std::span<const TSnippetSpec> SnippetActions();
// The snippet command of that name; nullptr when there is none.
const TSnippetSpec* FindSnippet(std::string_view name);

}  // namespace qm
