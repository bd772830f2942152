// Reads a file whole through the platform's file stream.
#include "app/WholeFile.h"

#include "platform/FileStream.h"

namespace qm {

std::string ReadWholeFile(const std::string& path) {
  std::string bytes;
  TFileStream file(path, fmOpenRead);
  if (const int64_t size = file.Size(); size > 0) bytes.reserve(static_cast<size_t>(size));
  char buffer[65536];
  // Read to the end rather than trust the size: the file may change meanwhile.
  for (size_t n; (n = file.Read(buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
  return bytes;
}

}  // namespace qm
