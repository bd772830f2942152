// Options, the files to check, and the run of quillmark-check.
#include "tools/CheckCommand.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "app/chain/ChainConfig.h"
#include "checker/ScriptChecker.h"
#include "editor/highlight/HighlighterChain.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/FileStream.h"
#include "platform/XmlDom.h"
#include "tools/CheckReport.h"
#include "tools/CommandLine.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

constexpr const char* kProgram = "quillmark-check";
constexpr const char* kVersion = QM_VERSION;

constexpr const char* kUsage =
    "Usage: quillmark-check [--data DIR] [--format gcc|sarif] [-o OUT] INPUT...\n"
    "Check Quillmark scripts for mistakes of structure (blocks, if ... endif, loops)\n"
    "and of vocabulary (unknown functions, block types, undeclared variables).\n"
    "\n"
    "  INPUT            a script (8-bit Windows-1251 text), or a folder: its .txt\n"
    "                   files and those of its subfolders\n"
    "  --data DIR       the folder holding scriptitems.xml (default: data, else\n"
    "                   the installed data folder when data/ has none)\n"
    "  --format FORMAT  gcc (default): one line a problem, FILE:LINE:COLUMN: error:\n"
    "                   MESSAGE (or warning:), as compilers write them;\n"
    "                   sarif: one SARIF 2.1.0 log for all inputs\n"
    "  -o, --output OUT write the report to OUT (whole or not at all), not to\n"
    "                   standard output\n"
    "  -h, --help       show this help and exit\n"
    "  --version        show the version and exit\n"
    "\n"
    "Exit status: 0 when no script holds an error (warnings may be reported),\n"
    "1 when any does or cannot be read (the others are still checked), 2 for a\n"
    "usage error or an unreadable vocabulary.\n";

bool IsTextFile(const fs::path& file) {
  std::string ext = file.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".txt";
}

// A problem that stands for a whole file: it could not be read.
check::TDiagnostic Unreadable(const std::string& reason) {
  return check::TDiagnostic{0, 0, 1, check::TSeverity::Error, u"Не удаётся прочитать файл: " + AnsiToWide(reason)};
}

class TCheckCommand {
 public:
  TCheckCommand(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

  int Run(const std::vector<std::string>& args) {
    cli::TArgs parsed;
    std::string error;
    if (!cli::ParseArgs(args, {{"--output", "-o"}, {"--data", ""}, {"--format", ""}}, parsed, error))
      return UsageError(error);
    if (parsed.Help) {
      std::fputs(kUsage, out_);
      return kCheckClean;
    }
    if (parsed.Version) {
      std::fprintf(out_, "%s (Quillmark) %s\n", kProgram, kVersion);
      return kCheckClean;
    }
    const std::string format = Value(parsed, "--format", "gcc");
    if (format != "gcc" && format != "sarif") return UsageError("unknown format '" + format + "' (gcc or sarif)");
    if (parsed.Inputs.empty()) return UsageError("no input given");
    if (!LoadVocabulary(Value(parsed, "--data", cli::DefaultDataFolder()))) return kCheckUsage;

    for (const std::string& input : parsed.Inputs) CheckInput(input);
    const std::string report = format == "sarif" ? cli::SarifReport(reports_, kVersion) : cli::GccReport(reports_);
    if (!Write(report, Value(parsed, "--output", "-"))) return kCheckErrors;
    return errors_ ? kCheckErrors : kCheckClean;
  }

 private:
  static std::string Value(const cli::TArgs& args, const char* name, const std::string& otherwise) {
    const auto it = args.Values.find(name);
    return it == args.Values.end() ? otherwise : it->second;
  }

  int UsageError(const std::string& message) {
    std::fprintf(err_, "%s: %s\nTry '%s --help' for more information.\n", kProgram, message.c_str(), kProgram);
    return kCheckUsage;
  }

  bool LoadVocabulary(const std::string& data) {
    TXmlDocument document;
    std::string file;
    std::string reason;
    if (!cli::LoadVocabularyFile(data, document, file, reason)) {
      std::fprintf(err_, "%s: %s: %s\n", kProgram, file.c_str(), reason.c_str());
      return false;
    }
    vocabulary_ = check::TScriptVocabulary::FromCategories(ReadVocabularyItems(document));
    return true;
  }

  void CheckInput(const std::string& input) {
    std::error_code ec;
    if (!fs::is_directory(input, ec)) return CheckFile(input);
    const auto fail = [this](const std::string& file, const std::string& reason) {
      Report(file, {Unreadable(reason)});
    };
    for (const fs::path& file : cli::FilesIn(
             input, [](const fs::path& f) { return !IsTextFile(f); }, fail))
      CheckFile(file.string());
  }

  void CheckFile(const std::string& file) {
    if (const std::string reason = cli::CannotRead(file); !reason.empty()) return Report(file, {Unreadable(reason)});
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return Report(file, {Unreadable("read error")});
    const std::u16string text = AnsiToWide(bytes.str());
    Report(file, check::CheckScript(check::SplitLines(text, false), rules_, vocabulary_));
  }

  void Report(const std::string& file, std::vector<check::TDiagnostic> diagnostics) {
    if (check::CountDiagnostics(diagnostics).Errors > 0) errors_ = true;
    if (!diagnostics.empty()) reports_.push_back({file, std::move(diagnostics)});
  }

  bool Write(const std::string& report, const std::string& output) {
    if (output == "-") {
      if (std::fwrite(report.data(), 1, report.size(), out_) == report.size() && std::fflush(out_) == 0) return true;
      std::fprintf(err_, "%s: standard output: write error\n", kProgram);
      return false;
    }
    try {
      SaveFileAtomically(output, [&](TStream& stream) { stream.Write(report.data(), report.size()); });
      return true;
    } catch (const Exception& e) {
      std::fprintf(err_, "%s: %s: %s\n", kProgram, output.c_str(), e.Message.c_str());
      return false;
    }
  }

  std::FILE* out_;
  std::FILE* err_;
  check::TScriptRules rules_ = check::ParseScriptRules(ScriptRulesText());
  check::TScriptVocabulary vocabulary_;
  std::vector<cli::TFileReport> reports_;
  bool errors_ = false;
};

}  // namespace

int RunCheckCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  return TCheckCommand(out, err).Run(args);
}

}  // namespace qm
