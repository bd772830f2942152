// Benchmarks of RTF export of the 1,000,000-line script: quillmark-export whole (load, highlight, RTF file), and the writer alone.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/chain/ChainConfig.h"
#include "bench/BenchInput.h"
#include "bench/VocabGenerator.h"
#include "editor/highlight/Scan.h"
#include "editor/highlight/StoredConfig.h"
#include "platform/Stream.h"
#include "platform/XmlDom.h"
#include "tools/ExportCommand.h"
#include "tools/ScriptExporter.h"

namespace qm::bench {
namespace {

namespace fs = std::filesystem;

// A folder holding the script and data/scriptitems.xml, removed at the end.
class TExportFolder {
 public:
  TExportFolder() {
    char pattern[] = "/tmp/qm-bench-export-XXXXXX";
    if (::mkdtemp(pattern) != nullptr) root_ = pattern;
  }
  ~TExportFolder() {
    std::error_code ec;
    if (!root_.empty()) fs::remove_all(root_, ec);
  }
  bool Ready() const { return !root_.empty(); }
  fs::path Path(const std::string& name) const { return root_ / name; }
  bool Write(const std::string& name, const std::string& bytes) const {
    fs::create_directories(Path(name).parent_path());
    std::ofstream out(Path(name), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
  }

 private:
  fs::path root_;
};

// The vocabulary of QM_BENCH_VOCAB, or a generated one.
std::string VocabularyBytes() {
  const char* path = std::getenv("QM_BENCH_VOCAB");
  if (path == nullptr || *path == 0) return GenerateVocabulary();
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void BM_ExportRtf(benchmark::State& state) {
  TExportFolder folder;
  const std::string& script = ScriptBytes();
  if (!folder.Ready() || !folder.Write("script.txt", script) ||
      !folder.Write("data/scriptitems.xml", VocabularyBytes())) {
    state.SkipWithError("cannot prepare the input folder");
    return;
  }
  // No settings file of the user's: the editor's defaults.
  const std::vector<std::string> args = {"--data",
                                         folder.Path("data").string(),
                                         "--settings",
                                         "/dev/null",
                                         "-o",
                                         folder.Path("script.rtf").string(),
                                         folder.Path("script.txt").string()};
  for (auto _ : state) {
    if (RunExportCommand(args, stdout, stderr, false) != 0) state.SkipWithError("quillmark-export failed");
  }
  std::error_code ec;
  state.counters["input_mb_per_second"] = benchmark::Counter(
      static_cast<double>(script.size()) / 1e6 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["input_mb"] = static_cast<double>(script.size()) / 1e6;
  state.counters["output_mb"] = static_cast<double>(fs::file_size(folder.Path("script.rtf"), ec)) / 1e6;
}
BENCHMARK(BM_ExportRtf)->Unit(benchmark::kMillisecond)->Iterations(3);

// A stream that only counts: the writer's own cost, without a disk.
class TCountingStream : public TStream {
 public:
  size_t Read(void*, size_t) override { return 0; }
  void Write(const void*, size_t count) override { size_ += static_cast<int64_t>(count); }
  int64_t Size() const override { return size_; }
  int64_t Position() const override { return size_; }
  void SetPosition(int64_t) override {}

 private:
  int64_t size_ = 0;
};

// The RTF writer alone, on the script already loaded and highlighted.
void BM_RtfWriter(benchmark::State& state) {
  TExportFolder folder;
  const std::string& script = ScriptBytes();
  TXmlDocument vocabulary;
  if (!folder.Ready() || !folder.Write("script.txt", script) || !vocabulary.LoadBytes(VocabularyBytes())) {
    state.SkipWithError("cannot prepare the input");
    return;
  }
  const TScriptExporter exporter(ParseStoredConfig(MainChainConfigText()), vocabulary, TEditorSettings{});
  const auto memo = exporter.LoadScript(folder.Path("script.txt").string());
  scan::HighlightAll(*memo);
  int64_t written = 0;
  for (auto _ : state) {
    TCountingStream out;
    exporter.WriteRtf(*memo, out);
    written = out.Size();
  }
  state.counters["input_mb_per_second"] = benchmark::Counter(
      static_cast<double>(script.size()) / 1e6 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["output_mb"] = static_cast<double>(written) / 1e6;
}
BENCHMARK(BM_RtfWriter)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace qm::bench
