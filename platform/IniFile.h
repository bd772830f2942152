// TIniFile, the settings file read and written one key per call as the private-profile service does, and where that file lives.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// An INI file addressed by its path. No copy of the file is kept: every read
// opens and scans the file afresh, every write rewrites it at once, so two
// objects (or two programs) on the same file always see each other's writes.
//
// Reading follows the private-profile rules:
// - a line "[name]" (blanks around it and around the name allowed, text after
//   the "]" ignored) opens a section; a line "key=value" in it is a key; blanks
//   around key and value are dropped, and one pair of equal quotes ("…" or
//   '…') around the value is removed;
// - lines that start with ";", lines without "=", lines before the first
//   section and "[" lines without "]" are no keys; they are kept as they are;
// - a UTF-8 byte order mark at the start of the file is skipped;
// - section and key names compare without regard to letter case (Latin and
//   Cyrillic letters of the 8-bit code page);
// - when a key occurs more than once in a section, the first occurrence is
//   the one read and the one a write replaces; when a section occurs more
//   than once in the file, only the first of them is read and written, and
//   the keys of the later ones are not seen;
// - a missing file, section or key, or a file that cannot be read, yields the
//   default of the read.
//
// Writing replaces the value of the key's line and leaves every other byte of
// the file as it was; a new key goes after the last key of the first section
// of that name, a new section at the end of the file. Inserted lines take the
// line end the file already uses (LF for a new file). The new file is written
// beside the old one and renamed over it, so a failed write leaves the old
// file whole; a symbolic link stays a link and its target gets the content.
// A missing file is created, with its folder. Any failure raises
// qm::Exception "Unable to write to <path>".
class TIniFile {
 public:
  explicit TIniFile(std::string path);

  const std::string& FileName() const { return path_; }

  // Decimal with an optional sign, or hexadecimal after "0x", "0X" or "$"
  // (read as the 32-bit pattern, so 0xFF000005 is -16777211); see
  // IniStringToInteger. Anything else gives deflt.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t deflt) const;
  // 8-bit (CP1251) text as stored; an empty value is returned as "", not as
  // the default.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view deflt) const;
  // Any number other than 0 is true; a value that is no number gives deflt.
  bool ReadBool(std::string_view section, std::string_view key, bool deflt) const;

  // Written as signed decimal text.
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  // A value with blanks at either end, or one that is itself wrapped in equal
  // quotes, is stored inside double quotes so that it reads back unchanged.
  // A value holding a line break, a key that is empty, has blanks at either
  // end, holds "=" or a line break or starts with ";" or "[", and a section
  // name with blanks at either end, "]" or a line break cannot be stored in
  // one line; such a write raises "Unable to write to <path>" and changes
  // nothing.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  // Written as "1" or "0".
  void WriteBool(std::string_view section, std::string_view key, bool value);

 private:
  std::string path_;
};

// The integer a stored value stands for, or nothing when the value is not
// wholly one number: an optional "+" or "-", then decimal digits within the
// 32-bit signed range, or "0x", "0X" or "$" and hexadecimal digits up to
// FFFFFFFF. Trailing text ("10abc", "12 ; note") makes the value unreadable
// rather than reading its leading number, so a damaged entry falls back to the
// default instead of becoming some other setting.
std::optional<int32_t> IniStringToInteger(std::string_view text);

// $XDG_CONFIG_HOME/Quillmark.ini when that variable is set and not empty,
// else $HOME/.config/Quillmark.ini (the user database's home folder when
// HOME is unset or empty).
std::string SettingsFilePath();

}  // namespace qm
