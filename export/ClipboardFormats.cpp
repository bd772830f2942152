// The process-wide table of registered clipboard format names.
#include "export/ClipboardFormats.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <vector>

namespace qm {
namespace {

constexpr uint32_t kFirstRegistered = 0xC000;

struct TFormatTable {
  std::mutex lock;
  std::vector<std::string> names;  // number kFirstRegistered + i
};

TFormatTable& Table() {
  static TFormatTable table;
  return table;
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

uint32_t RegisterClipboardFormat(const std::string& name) {
  TFormatTable& table = Table();
  std::lock_guard guard(table.lock);
  for (size_t i = 0; i < table.names.size(); ++i)
    if (SameName(table.names[i], name)) return kFirstRegistered + static_cast<uint32_t>(i);
  table.names.push_back(name);
  return kFirstRegistered + static_cast<uint32_t>(table.names.size() - 1);
}

std::string ClipboardFormatName(uint32_t format) {
  TFormatTable& table = Table();
  std::lock_guard guard(table.lock);
  if (format < kFirstRegistered || format - kFirstRegistered >= table.names.size()) return {};
  return table.names[format - kFirstRegistered];
}

}  // namespace qm
