// Options, the plan of inputs and outputs, and the run of quillmark-export, one message line per failure.
#include "tools/ExportCommand.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

#include "app/chain/ChainConfig.h"
#include "editor/highlight/StoredConfig.h"
#include "platform/Exceptions.h"
#include "platform/FileStream.h"
#include "platform/IniFile.h"
#include "platform/Stream.h"
#include "platform/XmlDom.h"
#include "tools/CommandLine.h"
#include "tools/ScriptExporter.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

constexpr const char* kProgram = "quillmark-export";
constexpr const char* kVersion = QM_VERSION;
// Batches of this many scripts or more show a progress line on a terminal.
constexpr size_t kLongBatch = 2;

constexpr const char* kUsage =
    "Usage: quillmark-export [--data DIR] [--settings FILE] [-o OUT] INPUT...\n"
    "Write Quillmark scripts as RTF, coloured as the editor's \"save as RTF\" colours them.\n"
    "\n"
    "  INPUT            a script (8-bit Windows-1251 text) or a folder of scripts\n"
    "  -o, --output OUT one script: the RTF file, or - for standard output;\n"
    "                   several scripts or a folder: the output folder (made when\n"
    "                   missing), one NAME.rtf per script, subfolders kept;\n"
    "                   without -o each script's RTF goes beside it as NAME.rtf\n"
    "  --data DIR       the folder holding scriptitems.xml (default: data, else\n"
    "                   the installed data folder when data/ has none)\n"
    "  --settings FILE  the settings file for the editor font, background and\n"
    "                   colours (default: Quillmark.ini in $XDG_CONFIG_HOME or\n"
    "                   ~/.config when it exists, else the editor's defaults)\n"
    "  -h, --help       show this help and exit\n"
    "  --version        show the version and exit\n"
    "\n"
    "Exit status: 0 when every script was written, 1 when any could not be\n"
    "(the others are still written), 2 for a usage error or an unreadable\n"
    "vocabulary or settings file. An output file is written whole or not at all.\n";

struct TOptions {
  std::optional<std::string> Data;  // the folder of scriptitems.xml; "data" when not given
  std::optional<std::string> Settings;
  std::optional<std::string> Output;
  std::vector<std::string> Inputs;
  bool Help = false;
  bool Version = false;
};

struct TJob {
  std::string Input;
  std::string Output;  // "-": standard output
};

class TCommand {
 public:
  TCommand(std::FILE* out, std::FILE* err, bool progress) : out_(out), err_(err), progress_(progress) {}

  int Run(const std::vector<std::string>& args) {
    TOptions options;
    if (!Parse(args, options)) return kExitUsage;
    if (options.Help) {
      std::fputs(kUsage, out_);
      return kExitOk;
    }
    if (options.Version) {
      std::fprintf(out_, "%s (Quillmark) %s\n", kProgram, kVersion);
      return kExitOk;
    }
    std::unique_ptr<TScriptExporter> exporter = MakeExporter(options);
    if (!exporter) return kExitUsage;
    std::vector<TJob> jobs;
    if (!Plan(options, jobs)) return kExitUsage;
    RunJobs(*exporter, jobs);
    return failed_ ? kExitSomeFailed : kExitOk;
  }

 private:
  void Fail(const std::string& file, const std::string& reason) {
    ClearProgress();
    std::fprintf(err_, "%s: %s: %s\n", kProgram, file.c_str(), reason.c_str());
    failed_ = true;
  }

  bool UsageError(const std::string& message) {
    std::fprintf(err_, "%s: %s\nTry '%s --help' for more information.\n", kProgram, message.c_str(), kProgram);
    return false;
  }

  bool Parse(const std::vector<std::string>& args, TOptions& options) {
    cli::TArgs parsed;
    std::string error;
    if (!cli::ParseArgs(args, {{"--output", "-o"}, {"--settings", ""}, {"--data", ""}}, parsed, error))
      return UsageError(error);
    auto value = [&](const char* name) {
      const auto it = parsed.Values.find(name);
      return it == parsed.Values.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
    options.Output = value("--output");
    options.Settings = value("--settings");
    options.Data = value("--data");
    options.Inputs = std::move(parsed.Inputs);
    options.Help = parsed.Help;
    options.Version = parsed.Version;
    if (options.Help || options.Version) return true;
    if (options.Inputs.empty()) return UsageError("no input given");
    return true;
  }

  std::unique_ptr<TScriptExporter> MakeExporter(const TOptions& options) {
    TXmlDocument vocabulary;
    std::string file;
    std::string reason;
    if (!cli::LoadVocabularyFile(options.Data ? *options.Data : cli::DefaultDataFolder(), vocabulary, file, reason)) {
      Fail(file, reason);
      return nullptr;
    }
    TEditorSettings settings;
    if (options.Settings) {
      if (const std::string reason = cli::CannotRead(*options.Settings); !reason.empty()) {
        Fail(*options.Settings, reason);
        return nullptr;
      }
      settings = ReadEditorSettings(TIniFile(*options.Settings));
    } else {
      const std::string path = SettingsFilePath();
      std::error_code ec;
      if (fs::exists(path, ec)) settings = ReadEditorSettings(TIniFile(path));
    }
    try {
      return std::make_unique<TScriptExporter>(ParseStoredConfig(MainChainConfigText()), vocabulary, settings);
    } catch (const Exception& e) {
      Fail("highlighter configuration", e.Message);
      return nullptr;
    }
  }

  static std::string RtfName(const fs::path& script) { return fs::path(script).replace_extension(".rtf").string(); }

  static bool IsRtf(const fs::path& file) {
    std::string ext = file.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".rtf";
  }

  // The scripts of a folder and its subfolders, in name order, skipping
  // hidden entries and RTF files (earlier outputs).
  std::vector<fs::path> ScriptsIn(const fs::path& folder) {
    return cli::FilesIn(folder, IsRtf,
                        [this](const std::string& file, const std::string& reason) { Fail(file, reason); });
  }

  bool Plan(const TOptions& options, std::vector<TJob>& jobs) {
    std::error_code ec;
    const bool single = options.Inputs.size() == 1 && !fs::is_directory(options.Inputs[0], ec);
    if (!single && options.Output && *options.Output == "-")
      return UsageError("'-o -' takes a single script, not several or a folder");
    if (single) {
      const std::string& input = options.Inputs[0];
      std::string output = RtfName(input);
      if (options.Output) {
        output = *options.Output;
        if (output != "-" && fs::is_directory(output, ec))
          output = (fs::path(output) / fs::path(RtfName(input)).filename()).string();
      }
      jobs.push_back({input, output});
      return true;
    }
    if (options.Output && fs::exists(*options.Output, ec) && !fs::is_directory(*options.Output, ec))
      return UsageError("'" + *options.Output + "' is not a folder; several scripts need an output folder");
    for (const std::string& input : options.Inputs) {
      if (!fs::is_directory(input, ec)) {
        const fs::path target =
            options.Output ? fs::path(*options.Output) / fs::path(RtfName(input)).filename() : fs::path(RtfName(input));
        jobs.push_back({input, target.string()});
        continue;
      }
      for (const fs::path& script : ScriptsIn(input)) {
        const fs::path target = options.Output ? fs::path(*options.Output) / fs::relative(script, input, ec) : script;
        jobs.push_back({script.string(), RtfName(target)});
      }
    }
    return true;
  }

  void RunJobs(const TScriptExporter& exporter, const std::vector<TJob>& jobs) {
    std::map<std::string, std::string> written;  // output -> the input that made it
    const bool showProgress = progress_ && jobs.size() >= kLongBatch;
    for (size_t i = 0; i < jobs.size(); ++i) {
      const TJob& job = jobs[i];
      if (showProgress) ShowProgress(i + 1, jobs.size(), job.Input);
      if (job.Output != "-") {
        std::error_code ec;
        const fs::path key = fs::weakly_canonical(job.Output, ec);
        if (fs::weakly_canonical(job.Input, ec) == key) {
          Fail(job.Input, "the output would replace the script itself");
          continue;
        }
        const auto [at, added] = written.emplace(key.string(), job.Input);
        if (!added) {
          Fail(job.Input, "the output " + job.Output + " is already written from " + at->second);
          continue;
        }
      }
      ExportOne(exporter, job);
    }
    ClearProgress();
  }

  void ExportOne(const TScriptExporter& exporter, const TJob& job) {
    if (const std::string reason = cli::CannotRead(job.Input); !reason.empty()) return Fail(job.Input, reason);
    try {
      if (job.Output == "-") return WriteToOut(exporter, job.Input);
      const fs::path folder = fs::path(job.Output).parent_path();
      std::error_code ec;
      if (!folder.empty()) fs::create_directories(folder, ec);
      if (ec) return Fail(folder.string(), "cannot create folder: " + ec.message());
      exporter.ExportFile(job.Input, job.Output);
    } catch (const EFOpenError& e) {
      Fail(job.Input, Reason(e.Message, job.Input));
    } catch (const Exception& e) {
      Fail(job.Output, Reason(e.Message, job.Output));
    } catch (const std::exception& e) {
      Fail(job.Input, e.what());
    }
  }

  // Gathered first, so that a failure writes nothing to standard output.
  void WriteToOut(const TScriptExporter& exporter, const std::string& input) {
    const std::unique_ptr<TPlusMemoU> memo = exporter.LoadScript(input);
    TMemoryStream rtf;
    exporter.WriteRtf(*memo, rtf);
    const auto& bytes = rtf.Bytes();
    if (std::fwrite(bytes.data(), 1, bytes.size(), out_) != bytes.size() || std::fflush(out_) != 0)
      Fail("standard output", std::strerror(errno));
  }

  // "Cannot create file "<path>". <reason>" reads "cannot create file: <reason>".
  static std::string Reason(const std::string& message, const std::string& path) {
    const std::string named = " \"" + path + "\". ";
    const size_t at = message.find(named);
    if (at == std::string::npos) return message;
    std::string what = message.substr(0, at);
    if (!what.empty()) what[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(what[0])));
    return what + ": " + message.substr(at + named.size());
  }

  void ShowProgress(size_t done, size_t total, const std::string& input) {
    std::fprintf(err_, "\r\033[K%s: %zu/%zu %s", kProgram, done, total, input.c_str());
    std::fflush(err_);
    progressShown_ = true;
  }

  void ClearProgress() {
    if (!progressShown_) return;
    std::fputs("\r\033[K", err_);
    progressShown_ = false;
  }

  std::FILE* out_;
  std::FILE* err_;
  bool progress_;
  bool progressShown_ = false;
  bool failed_ = false;
};

}  // namespace

int RunExportCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err, bool progress) {
  return TCommand(out, err, progress).Run(args);
}

}  // namespace qm
