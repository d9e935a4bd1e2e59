#pragma once

#include "common/result.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

using Bytes = std::vector<std::uint8_t>;

// Reads a whole file.
Result<Bytes> readWholeFile(const std::string& path);

// Writes all of `data` to `fd`, at `offset` when one is given, else at the file's position;
// short writes and interrupted calls are retried. Errors name `path`.
Status writeFully(int fd, std::span<const std::uint8_t> data, const std::string& path,
                  std::optional<std::uint64_t> offset = std::nullopt);
Status writeFully(int fd, std::string_view data, const std::string& path,
                  std::optional<std::uint64_t> offset = std::nullopt);

// Replaces `path` with `content` so that a crash leaves either the old file or the new one:
// writes a temporary file beside it, syncs it and renames it over the target. The new file
// keeps the permission bits of the one it replaces.
Status writeFileAtomically(const std::string& path, std::span<const std::uint8_t> content);
Status writeFileAtomically(const std::string& path, const std::string& content);

// The same through the temporary file `temporary`, which is replaced when it exists; it is
// removed again when anything fails.
Status replaceFileThrough(const std::string& path, const std::string& temporary,
                          std::span<const std::uint8_t> content);

// Appends `lines` to a log file, creating it when missing: each line passes escapeForLog and is
// followed by CR LF, so no text given can add a line of its own.
Status appendLogLines(const std::string& path, const std::vector<std::string>& lines);

// Creates an empty file, or empties an existing one.
Status createEmptyFile(const std::string& path);

}  // namespace corvane
