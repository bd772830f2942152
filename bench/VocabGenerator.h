// Deterministic generator of a realistic keyword vocabulary file (UTF-8 XML) used by benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qm::bench {

// Returns a vocabulary file: UTF-8 XML with an <?xml version="1.0" encoding="UTF-8"?>
// declaration and a root element holding three <extension> elements. Between them the
// extensions hold <function>, <var>, <command>, <blocktype> and <parameters> elements
// with one word each (a few with blanks or line breaks around the word), plus some
// unrelated elements, attributes and comments that a reader ignores, among them two
// <function> elements outside any extension.
//
// The words cover everything the script generator (GenerateScript) emits: every
// function it calls, its variable types, keywords and block types, and the actor
// values, axes and globals it uses. Inside the extensions there are exactly
// max(`functions`, 281) function elements (281 fixed names, then invented ones; up
// to four of them repeat an earlier word on purpose) and fixed counts of the other
// categories: 10 var, 40 command, 60 blocktype and 198 parameters elements.
// The same arguments give the same bytes on every machine.
std::string GenerateVocabulary(size_t functions = 1500, uint32_t seed = 1);

}  // namespace qm::bench
