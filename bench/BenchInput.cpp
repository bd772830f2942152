// Input of the benchmarks, cached per size.
#include "bench/BenchInput.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "bench/ScriptGenerator.h"
#include "bench/VariedScriptGenerator.h"

namespace qm::bench {

bool VariedInput() {
  const char* generator = std::getenv("QM_BENCH_GENERATOR");
  if (generator == nullptr || *generator == 0 || std::string_view(generator) == "repeating") return false;
  if (std::string_view(generator) == "varied") return true;
  throw std::runtime_error("QM_BENCH_GENERATOR is \"repeating\" or \"varied\"");
}

const std::string& ScriptBytes(size_t lines) {
  static std::map<size_t, std::string> cache;
  if (const char* path = std::getenv("QM_BENCH_SCRIPT"); path != nullptr && *path != 0) lines = 0;
  auto it = cache.find(lines);
  if (it != cache.end()) return it->second;
  std::string bytes;
  if (lines == 0) {
    std::ifstream in(std::getenv("QM_BENCH_SCRIPT"), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read QM_BENCH_SCRIPT");
    std::ostringstream all;
    all << in.rdbuf();
    bytes = all.str();
  } else if (VariedInput()) {
    bytes = GenerateVariedScript(lines);
  } else {
    bytes = GenerateScript(lines);
  }
  return cache.emplace(lines, std::move(bytes)).first->second;
}

}  // namespace qm::bench
