#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::restore {

// The parts of a stored name, or nullopt when the name is not safe to restore anywhere: empty,
// absolute ("/etc/passwd"), or with an empty, "." or ".." part or a NUL byte. A folder's
// trailing "/" is not a part.
std::optional<std::vector<std::string>> safeParts(std::string_view storedName);

// True when a link at `linkParts` (its path below the destination) with `target` points
// inside the destination: a relative target that never climbs above it. Absolute targets and
// targets with a NUL byte are outside.
bool linkStaysInside(const std::vector<std::string>& linkParts, std::string_view target);

// A restore pattern against a stored name: "*" and "?" as wildcards ("*" crosses "/"); a
// leading "/" is ignored; a pattern naming a folder ("docs" or "docs/") takes all it holds.
bool matchesPattern(std::string_view pattern, std::string_view storedName);

// The name a restored copy takes beside an existing file: "report (1).txt", "report (2).txt",
// ...; a leading dot is not an extension (".bashrc (1)").
std::string numberedName(const std::string& name, int number);

// Joins parts with "/" under `root` ("/" or a folder with or without its trailing "/").
std::string joinPath(const std::string& root, const std::vector<std::string>& parts);

// The archive a path names: a volume "name.z01" of a split set stands for the set, whose last
// volume ("name.bac" or "name.zip" beside it) holds the directory; any other path itself.
std::string lastVolumeOf(const std::string& path);

// Control characters and bytes that are not UTF-8 as \n, \t, \x1b...: safe to print on a
// terminal or in a list line.
std::string printable(std::string_view name);

}  // namespace corvane::restore
