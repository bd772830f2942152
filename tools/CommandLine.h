// What the command-line tools share: their options' grammar, the readable-file test, and the walk over a folder of scripts.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace qm {
class TXmlDocument;
}

namespace qm::cli {

// The arguments as a tool reads them: "-h"/"--help", "--version", "--" (only
// inputs after it), value options as "-o OUT", "-oOUT", "--output OUT" or
// "--output=OUT", and inputs ("-" is one).
struct TArgs {
  std::map<std::string, std::string> Values;  // by the option's long name
  std::vector<std::string> Inputs;
  bool Help = false;
  bool Version = false;
};

// A value option: its long name ("--output") and its short one ("-o", or "").
struct TValueOption {
  std::string Long;
  std::string Short;
};

// Parses args; false with the reason in `error` for an unknown option or a missing value.
bool ParseArgs(const std::vector<std::string>& args, const std::vector<TValueOption>& options, TArgs& out,
               std::string& error);

// The reason the system gives for not reading path, or "" when it can be read.
std::string CannotRead(const std::string& path);

// The vocabulary's folder when --data is not given: data/ under the current
// folder when it holds scriptitems.xml (a tool run in the program's own
// folder), else the installed data folder beside the tool's own folder
// (<prefix>/bin/../share/quillmark/data) when that holds it, else data/.
// The editor searches the same way.
std::string DefaultDataFolder();

// Loads DATA/scriptitems.xml, the vocabulary; on failure false with the
// file and the reason in `file` and `reason`.
bool LoadVocabularyFile(const std::string& dataFolder, TXmlDocument& document, std::string& file, std::string& reason);

// The files of a folder and its subfolders in name order, skipping hidden
// entries and the files `skip` names; a folder that cannot be read is
// reported through `fail` (path, reason).
std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder,
                                           const std::function<bool(const std::filesystem::path&)>& skip,
                                           const std::function<void(const std::string&, const std::string&)>& fail);

}  // namespace qm::cli
