// Compiler-style and SARIF reports of the script checker's problems.
#include "tools/CheckReport.h"

#include <cstdio>

#include "platform/CodePage.h"

namespace qm::cli {

namespace {

const char* SeverityWord(check::TSeverity s) { return s == check::TSeverity::Error ? "error" : "warning"; }

// A JSON string literal of UTF-8 text.
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Result(const std::string& uri, const check::TDiagnostic& d) {
  const int32_t column = d.Column + 1;
  return "{\"ruleId\":\"" + std::string(d.Severity == check::TSeverity::Error ? "QM1" : "QM2") + "\",\"level\":\"" +
         SeverityWord(d.Severity) + "\",\"message\":{\"text\":" + JsonString(WideToUtf8(d.Message)) +
         "},\"locations\":[{\"physicalLocation\":{\"artifactLocation\":{\"uri\":" + JsonString(uri) +
         "},\"region\":{\"startLine\":" + std::to_string(d.Line + 1) + ",\"startColumn\":" + std::to_string(column) +
         ",\"endColumn\":" + std::to_string(column + d.Length) + "}}}]}";
}

}  // namespace

std::string GccReport(const std::vector<TFileReport>& files) {
  std::string out;
  for (const TFileReport& file : files)
    for (const check::TDiagnostic& d : file.Diagnostics)
      out += file.File + ":" + std::to_string(d.Line + 1) + ":" + std::to_string(d.Column + 1) + ": " +
             SeverityWord(d.Severity) + ": " + WideToUtf8(d.Message) + "\n";
  return out;
}

std::string SarifReport(const std::vector<TFileReport>& files, const std::string& version) {
  std::string results;
  for (const TFileReport& file : files) {
    const std::string uri = PathToUri(file.File);
    for (const check::TDiagnostic& d : file.Diagnostics)
      results += (results.empty() ? "\n    " : ",\n    ") + Result(uri, d);
  }
  return "{\"$schema\":\"https://json.schemastore.org/sarif-2.1.0.json\",\"version\":\"2.1.0\",\"runs\":[{\n"
         "  \"tool\":{\"driver\":{\"name\":\"quillmark-check\",\"version\":" +
         JsonString(version) +
         ",\"rules\":["
         "{\"id\":\"QM1\",\"name\":\"ScriptError\",\"shortDescription\":{\"text\":" +
         JsonString("Ошибка в скрипте") +
         "},\"defaultConfiguration\":{\"level\":\"error\"}},"
         "{\"id\":\"QM2\",\"name\":\"ScriptWarning\",\"shortDescription\":{\"text\":" +
         JsonString("Предупреждение о скрипте") +
         "},\"defaultConfiguration\":{\"level\":\"warning\"}}]}},\n"
         "  \"columnKind\":\"utf16CodeUnits\",\n"
         "  \"results\":[" +
         results + "]\n}]}\n";
}

std::string PathToUri(const std::string& path) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string out = path.starts_with('/') ? "file://" : "";
  for (const char c : path) {
    const auto u = static_cast<unsigned char>(c);
    const bool plain = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || c == '-' ||
                       c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      out += c;
    } else {
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 15];
    }
  }
  return out;
}

}  // namespace qm::cli
