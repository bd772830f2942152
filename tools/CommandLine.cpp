// The command-line tools' option parser, readable-file test and folder walk.
#include "tools/CommandLine.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <system_error>

#include "platform/XmlDom.h"

namespace qm::cli {

namespace fs = std::filesystem;

bool ParseArgs(const std::vector<std::string>& args, const std::vector<TValueOption>& options, TArgs& out,
               std::string& error) {
  bool onlyInputs = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (onlyInputs || arg == "-" || arg.empty() || arg[0] != '-') {
      out.Inputs.push_back(arg);
      continue;
    }
    if (arg == "--") {
      onlyInputs = true;
    } else if (arg == "-h" || arg == "--help") {
      out.Help = true;
    } else if (arg == "--version") {
      out.Version = true;
    } else {
      std::string name = arg;
      std::optional<std::string> value;
      if (arg.rfind("--", 0) == 0) {
        if (const size_t eq = arg.find('='); eq != std::string::npos) {
          name = arg.substr(0, eq);
          value = arg.substr(eq + 1);
        }
      } else if (arg.size() > 2) {
        name = arg.substr(0, 2);
        value = arg.substr(2);
      }
      const auto option = std::find_if(options.begin(), options.end(), [&](const TValueOption& o) {
        return name == o.Long || (!o.Short.empty() && name == o.Short);
      });
      if (option == options.end()) {
        error = "unknown option '" + arg + "'";
        return false;
      }
      if (!value) {
        if (i + 1 >= args.size()) {
          error = "option '" + name + "' needs a value";
          return false;
        }
        value = args[++i];
      }
      if (value->empty()) {
        error = "option '" + name + "' needs a value";
        return false;
      }
      out.Values[option->Long] = *value;
    }
  }
  return true;
}

std::string CannotRead(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  ::close(fd);
  std::error_code ec;
  if (fs::is_directory(path, ec)) return std::strerror(EISDIR);
  return {};
}

namespace {

#ifndef QM_DATA_FROM_BIN
#define QM_DATA_FROM_BIN "../share/quillmark/data"
#endif

bool HoldsVocabulary(const fs::path& folder) {
  std::error_code ignored;
  return fs::is_regular_file(folder / "scriptitems.xml", ignored);
}

}  // namespace

std::string DefaultDataFolder() {
  if (HoldsVocabulary("data")) return "data";
  std::error_code failed;
  const fs::path self = fs::read_symlink("/proc/self/exe", failed);
  if (failed) return "data";
  const fs::path installed = (self.parent_path() / QM_DATA_FROM_BIN).lexically_normal();
  return HoldsVocabulary(installed) ? installed.string() : "data";
}

bool LoadVocabularyFile(const std::string& dataFolder, TXmlDocument& document, std::string& file, std::string& reason) {
  file = (fs::path(dataFolder) / "scriptitems.xml").string();
  reason = CannotRead(file);
  if (!reason.empty()) return false;
  if (document.Load(file)) return true;
  const int line = document.ParseErrorLine();
  reason = line > 0 ? "not well-formed XML (line " + std::to_string(line) + ")" : "not well-formed XML";
  return false;
}

std::vector<fs::path> FilesIn(const fs::path& folder, const std::function<bool(const fs::path&)>& skip,
                              const std::function<void(const std::string&, const std::string&)>& fail) {
  std::vector<fs::path> files;
  std::error_code ec;
  fs::recursive_directory_iterator it(folder, ec);
  if (ec) {
    fail(folder.string(), ec.message());
    return files;
  }
  for (; it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (ec) {
      // The iterator is at its end after a failed step: the folder names the place.
      fail(folder.string(), ec.message());
      break;
    }
    const fs::path& path = it->path();
    if (path.filename().string().rfind('.', 0) == 0) {
      if (it->is_directory(ec)) it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file(ec) && !skip(path)) files.push_back(path);
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace qm::cli
