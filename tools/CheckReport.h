// The reports of quillmark-check: compiler-style lines, or one SARIF 2.1.0 log for every file checked.
#pragma once

#include <string>
#include <vector>

#include "checker/ScriptChecker.h"

namespace qm::cli {

// The problems of one file as given on the command line (or found in a folder).
struct TFileReport {
  std::string File;
  std::vector<check::TDiagnostic> Diagnostics;
};

// "FILE:LINE:COLUMN: error: MESSAGE" (or "warning"), lines and columns from 1, one line a problem, UTF-8.
std::string GccReport(const std::vector<TFileReport>& files);

// A SARIF 2.1.0 log of one run holding every problem, UTF-8 JSON.
std::string SarifReport(const std::vector<TFileReport>& files, const std::string& version);

// A file path as a URI reference: relative paths stay relative, absolute ones
// become file:// URIs; every byte outside the unreserved set is %-escaped.
std::string PathToUri(const std::string& path);

}  // namespace qm::cli
