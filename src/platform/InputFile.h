// Opening a file the user named for reading. Whatever stands under the name, the open never
// blocks: a named pipe without a writer reads as empty instead of waiting forever, and a folder
// is no input file.
#pragma once

#include <cstdio>
#include <string>

namespace s2t {

// The descriptor of the file opened for reading, or -1 when it cannot be opened or is a folder.
// size receives the file's size in bytes, or -1 when it has none (a pipe or a device).
int openInputDescriptor(const std::string& path, long long& size);

// The same file as a stream for binary reading, or null.
std::FILE* openInputFile(const std::string& path, long long& size);

}  // namespace s2t
