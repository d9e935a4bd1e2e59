#pragma once

#include "common/result.h"

#include <string>
#include <vector>

namespace corvane {

enum class PathKind { File, Folder, Link, Other };

struct DirEntry {
    std::string name;
    bool isFolder =
        false;  // a real folder; a link to a folder is not one (walks never follow links)
};

// The file services the set operations use, behind an interface so that tests and fuzzers can
// run them over a fake tree.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The kind of what is at `path`. The error tells "file not found" (code 53) and "path not
    // found" (code 76) apart from every other failure.
    virtual Result<PathKind> probe(const std::string& path) const = 0;

    // The entries of a folder, without "." and "..", sorted by name so walks are repeatable.
    virtual Result<std::vector<DirEntry>> list(const std::string& folder) const = 0;

    // True when something (a link included) is at `path`.
    bool exists(const std::string& path) const { return probe(path).ok(); }
    bool isFolder(const std::string& path) const {
        const auto kind = probe(path);
        return kind && *kind == PathKind::Folder;
    }
};

class RealFileSystem final : public FileSystem {
public:
    Result<PathKind> probe(const std::string& path) const override;
    Result<std::vector<DirEntry>> list(const std::string& folder) const override;
};

}  // namespace corvane
