// The clipboard the editor copies to and pastes from: Unicode text and registered formats of our own.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qm {

class TClipboard {
 public:
  virtual ~TClipboard() = default;
  // Replaces the whole clipboard content with this text (no other format).
  virtual void SetText(const std::u16string& text) = 0;
  // The text: Unicode when there is some, else 8-bit text converted from the
  // system code page; nothing when the clipboard holds no text.
  virtual std::optional<std::u16string> Text() const = 0;
  // A registered format of our own, set beside the text.
  virtual void SetFormat(const std::string& name, const std::vector<unsigned char>& data) = 0;
  virtual std::optional<std::vector<unsigned char>> Format(const std::string& name) const = 0;
};

// A clipboard held in memory: for headless use and tests.
class TMemoryClipboard : public TClipboard {
 public:
  void SetText(const std::u16string& text) override {
    text_ = text;
    formats_.clear();
  }
  std::optional<std::u16string> Text() const override { return text_; }
  void SetFormat(const std::string& name, const std::vector<unsigned char>& data) override { formats_[name] = data; }
  std::optional<std::vector<unsigned char>> Format(const std::string& name) const override {
    const auto it = formats_.find(name);
    if (it == formats_.end()) return std::nullopt;
    return it->second;
  }
  void Clear() {
    text_.reset();
    formats_.clear();
  }

 private:
  std::optional<std::u16string> text_;
  std::map<std::string, std::vector<unsigned char>> formats_;
};

// The process's clipboard: an in-memory one until the window toolkit installs its own.
TClipboard& PlatformClipboard();
void SetPlatformClipboard(TClipboard* clipboard);

}  // namespace qm
