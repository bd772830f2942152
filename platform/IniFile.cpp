// The settings file as the private-profile service keeps it: scanned afresh on every read, rewritten whole on every write.
#include "platform/IniFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/FileStream.h"

namespace qm {

namespace {

constexpr const char* kSettingsFileName = "Quillmark.ini";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Upper case of a CP1251 byte: Latin a-z, Cyrillic а-я and ё.
unsigned char FoldByte(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 224) return static_cast<unsigned char>(c - 32);
  if (c == 184) return 168;
  return c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldByte(static_cast<unsigned char>(a[i])) != FoldByte(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// One pair of equal quotes around a value is not part of it.
std::string_view Unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// A line of the file as offsets into its text: body [start, bodyEnd), then
// its line break (LF or CR LF, none on an unterminated last line) up to end.
struct TLine {
  size_t start;
  size_t bodyEnd;
  size_t end;
};

TLine LineAt(std::string_view text, size_t from) {
  const size_t lf = text.find('\n', from);
  if (lf == std::string_view::npos) return {from, text.size(), text.size()};
  const size_t bodyEnd = (lf > from && text[lf - 1] == '\r') ? lf - 1 : lf;
  return {from, bodyEnd, lf + 1};
}

enum class TLineKind { Other, Section, Key };

struct TParsedLine {
  TLineKind Kind = TLineKind::Other;
  std::string_view Name;
  std::string_view Value;  // trimmed, quotes still on
  size_t ValueFrom = 0;    // where a new value replaces the old one, from the body's start
};

TParsedLine ParseSectionLine(std::string_view trimmed) {
  TParsedLine parsed;
  const size_t close = trimmed.find(']');
  if (close == std::string_view::npos) return parsed;
  parsed.Kind = TLineKind::Section;
  parsed.Name = Trim(trimmed.substr(1, close - 1));
  return parsed;
}

TParsedLine ParseLine(std::string_view body) {
  const std::string_view trimmed = Trim(body);
  if (trimmed.empty() || trimmed.front() == ';') return {};
  if (trimmed.front() == '[') return ParseSectionLine(trimmed);
  const size_t equals = body.find('=');
  if (equals == std::string_view::npos) return {};
  TParsedLine parsed;
  parsed.Kind = TLineKind::Key;
  parsed.Name = Trim(body.substr(0, equals));
  parsed.Value = Trim(body.substr(equals + 1));
  // "Key = 5" becomes "Key = 10": the blanks before the value stay.
  parsed.ValueFrom = parsed.Value.empty() ? equals + 1 : static_cast<size_t>(parsed.Value.data() - body.data());
  return parsed;
}

// Where a key stands in the text, or where a new one would go.
struct TKeyPlace {
  bool KeyFound = false;
  std::string_view Value;
  size_t ReplaceFrom = 0;  // the old value's range in the text
  size_t ReplaceTo = 0;
  bool SectionFound = false;
  size_t InsertAt = 0;  // after the last key line (or the header) of the first section of that name
};

// Only the first section of the name counts: a later section of the same name
// is neither read nor written, as with the private-profile service.
TKeyPlace FindKey(std::string_view text, std::string_view section, std::string_view key) {
  TKeyPlace place;
  bool inSection = false;
  // A UTF-8 byte order mark left by an editor must not hide the first header.
  const size_t first = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  for (size_t at = first; at < text.size();) {
    const TLine line = LineAt(text, at);
    at = line.end;
    const TParsedLine parsed = ParseLine(text.substr(line.start, line.bodyEnd - line.start));
    if (parsed.Kind == TLineKind::Section) {
      // The first section of the name has ended: the key is not in the file.
      if (inSection) return place;
      inSection = SameName(parsed.Name, section);
      if (inSection) {
        place.SectionFound = true;
        place.InsertAt = line.end;
      }
    } else if (parsed.Kind == TLineKind::Key && inSection) {
      if (SameName(parsed.Name, key)) {
        place.KeyFound = true;
        place.Value = parsed.Value;
        place.ReplaceFrom = line.start + parsed.ValueFrom;
        place.ReplaceTo = line.bodyEnd;
        return place;
      }
      place.InsertAt = line.end;
    }
  }
  return place;
}

// The line break the file already uses; LF for a file that has none yet.
std::string LineBreakOf(std::string_view text) {
  const size_t lf = text.find('\n');
  return (lf != std::string_view::npos && lf > 0 && text[lf - 1] == '\r') ? "\r\n" : "\n";
}

// Whether the last line of the text, terminated or not, holds only blanks.
bool LastLineBlank(std::string_view text) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  const size_t lf = text.rfind('\n');
  return Trim(lf == std::string_view::npos ? text : text.substr(lf + 1)).empty();
}

// The text with the key set to `stored`, every other byte kept.
std::string WithValue(std::string_view text, std::string_view section, std::string_view key, std::string_view stored) {
  const TKeyPlace place = FindKey(text, section, key);
  std::string out;
  if (place.KeyFound) {
    out.reserve(text.size() + stored.size());
    out.append(text.substr(0, place.ReplaceFrom)).append(stored).append(text.substr(place.ReplaceTo));
    return out;
  }
  const std::string eol = LineBreakOf(text);
  const size_t at = place.SectionFound ? place.InsertAt : text.size();
  std::string lines;
  // An unterminated last line gets its break before anything follows it.
  if (at > 0 && text[at - 1] != '\n') lines += eol;
  if (!place.SectionFound) {
    // A blank line sets the new section apart, unless one is there already.
    if (!text.empty() && !LastLineBlank(text)) lines += eol;
    lines.append("[").append(section).append("]").append(eol);
  }
  lines.append(key).append("=").append(stored).append(eol);
  out.reserve(text.size() + lines.size());
  out.append(text.substr(0, at)).append(lines).append(text.substr(at));
  return out;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// Whether the names and the value fit in one line that reads back as them.
bool Storable(std::string_view section, std::string_view key, std::string_view value) {
  const bool sectionOk =
      Trim(section) == section && !HasLineBreak(section) && section.find(']') == std::string_view::npos;
  const bool keyOk = !key.empty() && Trim(key) == key && !HasLineBreak(key) &&
                     key.find('=') == std::string_view::npos && key.front() != ';' && key.front() != '[';
  return sectionOk && keyOk && !HasLineBreak(value);
}

// Values that reading would trim or unquote are protected by a pair of quotes.
std::string StoredForm(std::string_view value) {
  const bool needsQuotes =
      !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || Unquoted(value).size() != value.size());
  if (!needsQuotes) return std::string(value);
  std::string quoted = "\"";
  quoted.append(value).append("\"");
  return quoted;
}

enum class TFileState { Read, Missing, Unreadable };

// The whole file. Anything but a regular file counts as unreadable (a
// folder, a pipe that would block the program).
TFileState ReadWholeFile(const std::string& path, std::string& bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return (errno == ENOENT || errno == ENOTDIR) ? TFileState::Missing : TFileState::Unreadable;
  struct stat info {};
  TFileState state = TFileState::Read;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) state = TFileState::Unreadable;
  std::vector<char> buffer(64 * 1024);
  bytes.clear();
  if (state == TFileState::Read) bytes.reserve(static_cast<size_t>(info.st_size));
  while (state == TFileState::Read) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n == 0) break;
    if (n < 0 && errno != EINTR) state = TFileState::Unreadable;
    if (n > 0) bytes.append(buffer.data(), static_cast<size_t>(n));
  }
  ::close(fd);
  return state;
}

// The stored value of a key, with its quotes removed; nothing when the file,
// the section or the key is missing or the file cannot be read.
std::optional<std::string> StoredValue(const std::string& path, std::string_view section, std::string_view key) {
  std::string text;
  if (ReadWholeFile(path, text) != TFileState::Read) return std::nullopt;
  const TKeyPlace place = FindKey(text, section, key);
  if (!place.KeyFound) return std::nullopt;
  return std::string(Unquoted(place.Value));
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return home;
  std::vector<char> buffer(16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr)
    return found->pw_dir;
  return std::string();
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

std::optional<int32_t> IniStringToInteger(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const bool hex = StartsWith(text, "0x") || StartsWith(text, "0X") || StartsWith(text, "$");
  if (hex) text.remove_prefix(text.front() == '$' ? 1 : 2);
  if (text.empty()) return std::nullopt;
  const uint64_t base = hex ? 16 : 10;
  const uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 2147483648ull : 2147483647ull);
  uint64_t value = 0;
  for (char c : text) {
    const int digit = HexDigit(c);
    if (digit < 0 || static_cast<uint64_t>(digit) >= base) return std::nullopt;
    value = value * base + static_cast<uint64_t>(digit);
    if (value > limit) return std::nullopt;
  }
  // Hexadecimal is the 32-bit pattern: 0xFF000005 is the system colour -16777211.
  uint32_t bits = static_cast<uint32_t>(value);
  if (negative) bits = 0u - bits;
  return static_cast<int32_t>(bits);
}

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t deflt) const {
  const std::optional<std::string> value = StoredValue(path_, section, key);
  if (!value) return deflt;
  return IniStringToInteger(*value).value_or(deflt);
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view deflt) const {
  return StoredValue(path_, section, key).value_or(std::string(deflt));
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool deflt) const {
  const std::optional<std::string> value = StoredValue(path_, section, key);
  const std::optional<int32_t> number = value ? IniStringToInteger(*value) : std::nullopt;
  return number ? *number != 0 : deflt;
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const Exception failed(FormatMessage(kUnableToWrite, path_));
  if (!Storable(section, key, value)) throw failed;
  std::string old;
  const TFileState state = ReadWholeFile(path_, old);
  // A file that exists but cannot be read would lose all its other keys.
  if (state == TFileState::Unreadable) throw failed;
  const std::string updated = WithValue(old, section, key, StoredForm(value));
  if (state == TFileState::Read && updated == old) return;
  try {
    if (state == TFileState::Missing) {
      // The configuration folder may not exist yet; when it cannot be made
      // the save below fails and says so.
      std::error_code ignored;
      std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ignored);
    }
    SaveFileAtomically(path_, [&updated](TStream& stream) { stream.Write(updated.data(), updated.size()); });
  } catch (const std::exception&) {
    throw failed;
  }
}

std::string SettingsFilePath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && *config != '\0') return JoinPath(config, kSettingsFileName);
  return JoinPath(JoinPath(HomeFolder(), ".config"), kSettingsFileName);
}

}  // namespace qm
