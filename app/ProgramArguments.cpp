// The editor's command line and its answers without a window.
#include "app/ProgramArguments.h"

namespace qm {

namespace {

constexpr const char* kProgram = "quillmark";
constexpr const char* kVersion = QM_VERSION;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "Usage: quillmark [OPTION]... [SCRIPT]\n"
    "Edit a script of the game's construction set: the editor opens with SCRIPT\n"
    "loaded as its open command loads it (8-bit text, Windows-1251), or empty.\n"
    "\n"
    "  -h, --help       show this help and exit\n"
    "  --version        show the version and exit\n"
    "  --               every argument after it is a file name\n"
    "\n"
    "The toolkit's own options (-platform, -style, ...) are accepted too.\n"
    "The vocabulary, help and user items come from data/ under the current\n"
    "folder when it holds scriptitems.xml, else from the installed data folder;\n"
    "then $XDG_DATA_HOME/quillmark/user.txt (~/.local/share/quillmark/user.txt)\n"
    "adds the user's own items. Exit status: 0, or 2 for a usage error.\n";

}  // namespace

TProgramArguments ReadProgramArguments(const std::vector<std::string>& args) {
  TProgramArguments result;
  bool help = false;
  bool version = false;
  bool onlyFiles = false;
  std::vector<std::string> scripts;
  for (const std::string& arg : args) {
    if (!onlyFiles && arg == "--") {
      onlyFiles = true;
    } else if (!onlyFiles && (arg == "-h" || arg == "--help")) {
      help = true;
    } else if (!onlyFiles && arg == "--version") {
      version = true;
    } else if (!onlyFiles && arg.size() > 1 && arg[0] == '-') {
      if (result.Error.empty()) result.Error = "unknown option '" + arg + "'";
    } else if (!onlyFiles && arg == "-") {
      if (result.Error.empty()) result.Error = "a script cannot be read from standard input; name its file";
    } else if (arg.empty()) {
      if (result.Error.empty()) result.Error = "an empty script name";
    } else {
      scripts.push_back(arg);
    }
  }
  if (result.Error.empty() && scripts.size() > 1)
    result.Error = "one script at a time: '" + scripts[0] + "' and " + std::to_string(scripts.size() - 1) +
                   (scripts.size() == 2 ? " other given" : " others given");
  if (help)
    result.Request = TProgramRequest::Help;
  else if (version)
    result.Request = TProgramRequest::Version;
  else if (!result.Error.empty())
    result.Request = TProgramRequest::UsageError;
  else if (!scripts.empty())
    result.Script = scripts.front();
  return result;
}

int AnswerWithoutWindow(const TProgramArguments& arguments, std::FILE* out, std::FILE* err) {
  switch (arguments.Request) {
    case TProgramRequest::Help: std::fputs(kUsage, out); return 0;
    case TProgramRequest::Version: std::fprintf(out, "%s (Quillmark) %s\n", kProgram, kVersion); return 0;
    case TProgramRequest::UsageError:
      std::fprintf(err, "%s: %s\nTry '%s --help' for more information.\n", kProgram, arguments.Error.c_str(), kProgram);
      return kExitUsage;
    case TProgramRequest::Run: break;
  }
  return 0;
}

}  // namespace qm
