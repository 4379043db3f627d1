#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Writes `bytes` to `path` through a temporary file in the same folder that is
// then renamed over the old one, so a crash never leaves a half-written file.
// Creates missing parent folders. Raises std::system_error on failure.
void WriteFileAtomically(const std::string &path, std::string_view bytes);

// Reads a whole regular file. Raises std::system_error when it cannot be read;
// a folder, a FIFO or a device is refused at once, never waited on.
std::string ReadWholeFile(const std::string &path);
// Reads at most `maxBytes` from the start of a file; same errors as ReadWholeFile.
std::string ReadFileHead(const std::string &path, std::size_t maxBytes);

// Like ReadFileHead for a file that may be missing: nullopt when it does not
// exist. Every other failure raises, as for ReadFileHead.
std::optional<std::string> ReadRegularFileHead(const std::string &path, std::size_t maxBytes);

bool FileExists(const std::string &path);
