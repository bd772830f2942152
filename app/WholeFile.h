// Reading a file whole, for the open command and the user items.
#pragma once

#include <string>

namespace qm {

// The bytes of the file at path, read to its end. Raises the file error
// ("Cannot open file "<path>". <reason>", also for a folder) when it
// cannot be opened, and the stream's read error when a read fails.
std::string ReadWholeFile(const std::string& path);

}  // namespace qm
