#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/result.h"

namespace corvane {

using Bytes = std::vector<std::uint8_t>;

// Reads a whole file.
Result<Bytes> readWholeFile(const std::string& path);

// Replaces `path` with `content` so that a crash leaves either the old file or the new one:
// writes a temporary file beside it, syncs it and renames it over the target.
Status writeFileAtomically(const std::string& path, std::span<const std::uint8_t> content);
Status writeFileAtomically(const std::string& path, const std::string& content);

// Appends `lines`, each followed by CR LF, creating the file when missing (log files).
Status appendLines(const std::string& path, const std::vector<std::string>& lines);

// Creates an empty file, or empties an existing one.
Status createEmptyFile(const std::string& path);

}  // namespace corvane
