#include "restore/restore_paths.h"

#include "archive/wildcard.h"
#include "archive/zip_item.h"

#include <sys/stat.h>

#include <cstdio>

namespace corvane::restore {

std::optional<std::vector<std::string>> safeParts(std::string_view storedName) {
    if (storedName.empty() || storedName.front() == '/') return std::nullopt;
    if (storedName.find('\0') != std::string_view::npos) return std::nullopt;
    if (storedName.back() == '/') storedName.remove_suffix(1);
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = storedName.find('/', start);
        const std::string_view part = storedName.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") return std::nullopt;
        parts.emplace_back(part);
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

bool linkStaysInside(const std::vector<std::string>& linkParts, std::string_view target) {
    if (target.empty() || target.front() == '/' || target.find('\0') != std::string_view::npos) {
        return false;
    }
    // The link's own folder is the starting depth; each ".." climbs one folder.
    auto depth = static_cast<long>(linkParts.size()) - 1;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = target.find('/', start);
        const std::string_view part = target.substr(start, end - start);
        if (part == "..") {
            if (--depth < 0) return false;
        } else if (!part.empty() && part != ".") {
            ++depth;
        }
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

bool matchesPattern(std::string_view pattern, std::string_view storedName) {
    while (!pattern.empty() && pattern.front() == '/')
        pattern.remove_prefix(1);
    if (!pattern.empty() && pattern.back() == '/') pattern.remove_suffix(1);
    if (pattern.empty()) return false;
    std::string_view name = storedName;
    if (!name.empty() && name.back() == '/') name.remove_suffix(1);
    if (archive::matchesMask(pattern, name)) return true;
    // The folders the entry lies in, from the outermost.
    for (std::size_t slash = name.find('/'); slash != std::string_view::npos;
         slash = name.find('/', slash + 1)) {
        if (archive::matchesMask(pattern, name.substr(0, slash))) return true;
    }
    return false;
}

std::string numberedName(const std::string& name, int number) {
    const std::string suffix = " (" + std::to_string(number) + ")";
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return name + suffix;
    return name.substr(0, dot) + suffix + name.substr(dot);
}

std::string joinPath(const std::string& root, const std::vector<std::string>& parts) {
    std::string path = root;
    for (const auto& part : parts) {
        if (path.empty() || path.back() != '/') path += '/';
        path += part;
    }
    return path;
}

std::string lastVolumeOf(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
        dot + 4 > path.size() || path[dot + 1] != 'z' ||
        path.find_first_not_of("0123456789", dot + 2) != std::string::npos) {
        return path;
    }
    for (const char* extension : {".bac", ".zip", ".BAC", ".ZIP"}) {
        const std::string last = path.substr(0, dot) + extension;
        struct stat info {};
        if (::stat(last.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return last;
    }
    return path;
}

std::string printable(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    std::size_t at = 0;
    while (at < name.size()) {
        const auto byte = static_cast<unsigned char>(name[at]);
        std::size_t length = byte < 0x80           ? 1
                             : (byte >> 5) == 0x6  ? 2
                             : (byte >> 4) == 0xE  ? 3
                             : (byte >> 3) == 0x1E ? 4
                                                   : 0;
        if (length > 1 &&
            (at + length > name.size() || !archive::isUtf8(name.substr(at, length)))) {
            length = 0;
        }
        // C1 controls (U+0080..U+009F) steer some terminals too.
        if (length == 2 && byte == 0xC2 && static_cast<unsigned char>(name[at + 1]) < 0xA0) {
            length = 0;
        }
        if (length == 1 && byte >= 0x20 && byte != 0x7F && byte != '\\') {
            out += name[at];
        } else if (length > 1) {
            out.append(name.substr(at, length));
        } else {
            if (byte == '\n') {
                out += "\\n";
            } else if (byte == '\t') {
                out += "\\t";
            } else if (byte == '\\') {
                out += "\\\\";
            } else {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
                out += escaped;
            }
            length = 1;
        }
        at += length;
    }
    return out;
}

}  // namespace corvane::restore
