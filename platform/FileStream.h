// TFileStream (a byte stream over a file), its open errors, and SaveFileAtomically, the save that never leaves a half-written file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Exceptions.h"
#include "platform/Stream.h"

namespace qm {

// "Cannot open file \"<path>\". <reason of the operating system>"
class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// "Cannot create file \"<path>\". <reason of the operating system>"
class EFCreateError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

inline constexpr const char* kStreamReadError = "Stream read error";
inline constexpr const char* kStreamWriteError = "Stream write error";

// Builds the messages of EFOpenError and EFCreateError for a failure with errno `error`.
std::string FileOpenErrorMessage(const std::string& path, int error);
std::string FileCreateErrorMessage(const std::string& path, int error);

enum class TFileMode : uint8_t {
  fmOpenRead,  // an existing file, read only
  fmCreate,    // created, or emptied when it exists; read and write
};
using enum TFileMode;

// A stream over an open file. Opening raises EFOpenError (fmOpenRead) or
// EFCreateError (fmCreate); a read or write the system refuses raises
// EStreamError "Stream read error" / "Stream write error". The file is closed
// when the stream is destroyed.
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& path, TFileMode mode);
  // Takes over an already open file descriptor; path names it in messages.
  TFileStream(int handle, std::string path);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  int64_t Size() const override;
  int64_t Position() const override;
  void SetPosition(int64_t position) override;

  // Makes everything written so far durable on the disk (fsync); raises
  // "Stream write error" when the system reports a failed write.
  void FlushToDisk();
  // Closes the file now, raising "Stream write error" when the close reports
  // a failed write; afterwards every operation but the destructor is invalid.
  void Close();

  const std::string& FileName() const { return path_; }
  int Handle() const { return handle_; }

 private:
  int handle_ = -1;
  std::string path_;
};

// Saves a file so that it is either wholly replaced or left as it was: the
// writer fills a new temporary file in the target's folder, which is flushed
// to the disk and then renamed over the target. A symbolic link at path is
// followed, so the link stays a link and the file it points to gets the
// content; an existing target keeps its permission bits. When anything fails
// (the writer throws, the disk is full, the folder is not writable) the
// temporary file is removed, the old file is untouched and the error is
// raised again: EFCreateError when the file cannot be made, EStreamError for
// a failed write, or whatever the writer threw. A target that exists but is
// not a regular file (a device, a pipe) cannot be replaced and is written
// directly.
void SaveFileAtomically(const std::string& path, const std::function<void(TStream&)>& write);

}  // namespace qm
