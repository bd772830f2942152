// A second generator of large scripts, unlike the first: few lines repeat.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qm::bench {

// Returns `lines` lines of scripts as Windows-1251 bytes, every line ending
// with CR LF. Unlike GenerateScript, almost every line is new: invented
// names of scripts and variables, numbers of every size, indentation by tabs,
// spaces or both, trailing blanks, comments that hold keywords and function
// names of the vocabulary, strings with Cyrillic and Latin text, and now and
// then a line of a few thousand characters. Functions are called from the
// vocabulary GenerateVocabulary(functions) lists. The same arguments give the
// same bytes on every machine.
std::string GenerateVariedScript(size_t lines, size_t functions = 1500, uint32_t seed = 1);

}  // namespace qm::bench
