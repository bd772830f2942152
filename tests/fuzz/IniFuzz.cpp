// Fuzz target: any bytes as the settings file: every key of it read, one key written and read back.
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "FuzzCheck.h"
#include "platform/Exceptions.h"
#include "platform/IniFile.h"

namespace qm {
namespace {

struct TKey {
  const char* Section;
  const char* Key;
};

// Every key of the settings file.
constexpr std::array<TKey, 21> kKeys = {{
    {"MainWindow", "Maximised"}, {"MainWindow", "X"},     {"MainWindow", "Y"},     {"MainWindow", "Height"},
    {"MainWindow", "Width"},     {"Inspector", "Width"},  {"Inspector", "Height"}, {"Inspector", "Value"},
    {"Message", "Height"},       {"Editor", "Font"},      {"Editor", "FontSize"},  {"Editor", "Background"},
    {"Syntax", "Functions"},     {"Syntax", "Variables"}, {"Syntax", "Commands"},  {"Syntax", "BlockTypes"},
    {"Syntax", "Parameters"},    {"FindWindow", "X"},     {"FindWindow", "Y"},     {"GoToWindow", "X"},
    {"GoToWindow", "Y"},
}};

// What the reads of every key give, as one text per key.
std::array<std::string, kKeys.size()> ReadAll(const TIniFile& ini) {
  std::array<std::string, kKeys.size()> out;
  for (size_t i = 0; i < kKeys.size(); ++i) {
    const auto [section, key] = kKeys[i];
    out[i] = ini.ReadString(section, key, "<none>") + "|" + std::to_string(ini.ReadInteger(section, key, -7)) + "|" +
             std::to_string(ini.ReadBool(section, key, true));
  }
  return out;
}

// The settings file of this process, removed when the run ends. Every write
// is flushed to the disk, so a memory file system runs many times faster.
struct TScratchFile {
  static std::filesystem::path Folder() {
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error)) return "/dev/shm";
    return std::filesystem::temp_directory_path();
  }
  std::string Path = Folder() / ("qm-ini-fuzz-" + std::to_string(::getpid()) + ".ini");
  ~TScratchFile() { std::remove(Path.c_str()); }
};

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The write changes the key written and no other key of the table.
void CheckWrite(TIniFile& ini, size_t written, const std::function<void()>& write,
                const std::array<std::string, kKeys.size()>& before) {
  write();
  const auto after = ReadAll(ini);
  for (size_t i = 0; i < kKeys.size(); ++i)
    if (i != written && !(kKeys[i].Section == kKeys[written].Section && kKeys[i].Key == kKeys[written].Key))
      fuzz::Require(after[i] == before[i],
                    std::string("writing ") + kKeys[written].Key + " changed " + kKeys[i].Section + "/" + kKeys[i].Key);
}

}  // namespace
}  // namespace qm

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qm;
  static const TScratchFile scratch;
  const std::string& path = scratch.Path;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  WriteFile(path, bytes);
  TIniFile ini(path);
  const auto before = ReadAll(ini);

  // Which key and what value come from the input, so the fuzzer can steer them.
  const size_t hash = std::hash<std::string_view>()(bytes);
  const size_t k = hash % kKeys.size();
  const char* section = kKeys[k].Section;
  const char* key = kKeys[k].Key;
  const auto value = static_cast<int32_t>(hash >> 7);
  CheckWrite(
      ini, k, [&] { ini.WriteInteger(section, key, value); }, before);
  fuzz::Require(ini.ReadInteger(section, key, value ^ 1) == value, "written integer does not read back");

  // A value taken from the file itself: stored and read back, or refused with the file unchanged.
  const std::string text(bytes.substr(0, std::min(bytes.find('\n'), std::min<size_t>(bytes.size(), 200))));
  const auto middle = ReadAll(ini);
  bool refused = false;
  CheckWrite(
      ini, k,
      [&] {
        try {
          ini.WriteString(section, key, text);
        } catch (const Exception&) {
          refused = true;
        }
      },
      middle);
  if (refused)
    fuzz::Require(ReadAll(ini) == middle, "a refused write changed the file");
  else
    fuzz::Require(ini.ReadString(section, key, "<none>") == text, "written text does not read back");
  return 0;
}
