#include "favorites/desktop_link.h"

#include "common/file_io.h"
#include "common/text.h"
#include "platform/program_folder.h"

#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

extern char** environ;

namespace corvane {

namespace {

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') return home;
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "/tmp";
}

std::string xdgFolder(const char* variable, const std::string& fallback) {
    const char* value = std::getenv(variable);
    return withTrailingSeparator(value != nullptr && *value == '/' ? value : fallback);
}

// Runs a tool found on PATH with no input, waits for it and returns its exit status (-1 when it
// could not run). Its output goes to `output` when given, else nowhere; its errors nowhere.
int runTool(const std::string& tool, const std::vector<std::string>& arguments,
            std::string* output = nullptr) {
    int pipeFds[2] = {-1, -1};
    if (output != nullptr && ::pipe2(pipeFds, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (output != nullptr) {
        ::posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    } else {
        ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    ::posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv{const_cast<char*>(tool.c_str())};
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    const int failure =
        ::posix_spawnp(&child, tool.c_str(), &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (output != nullptr) {
        ::close(pipeFds[1]);
        char buffer[4096];
        ssize_t got = 0;
        while (failure == 0 && ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0 ||
                                (got < 0 && errno == EINTR))) {
            if (got > 0) output->append(buffer, static_cast<std::size_t>(got));
        }
        ::close(pipeFds[0]);
    }
    if (failure != 0) return -1;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A desktop-entry string value: backslash and control characters escaped, a leading space kept.
std::string entryValue(std::string_view text) {
    std::string value;
    for (std::size_t i = 0; i < text.size(); ++i) {
        switch (text[i]) {
            case '\\':
                value += "\\\\";
                break;
            case '\n':
                value += "\\n";
                break;
            case '\t':
                value += "\\t";
                break;
            case '\r':
                value += "\\r";
                break;
            case ' ':
                value += i == 0 ? "\\s" : " ";
                break;
            default:
                value += text[i];
        }
    }
    return value;
}

// A file URL for a path: every byte except unreserved characters and "/" percent-encoded.
std::string fileUrl(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            url += c;
        } else {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0xF];
        }
    }
    return url;
}

// A program path as the quoted first word of an Exec line.
std::string execProgram(std::string_view program) {
    std::string quoted = "\"";
    for (const char c : program) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return entryValue(quoted + "\"");
}

// `existing` mimeapps.list text with `line` as the type's default, every other line kept.
std::string withDefaultApplication(const std::string& existing, const std::string& line) {
    constexpr std::string_view kSection = "[Default Applications]";
    const std::string key = std::string(kSetMimeType) + "=";
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < existing.size();) {
        const auto end = std::min(existing.find('\n', at), existing.size());
        lines.push_back(existing.substr(at, end - at));
        at = end + 1;
    }
    bool inSection = false;
    bool sectionSeen = false;
    std::vector<std::string> out;
    for (const std::string& current : lines) {
        const std::string bare = trim(current);
        if (startsWith(bare, "[")) {
            inSection = bare == kSection;
            if (inSection) {
                sectionSeen = true;
                out.push_back(current);
                out.push_back(line);
                continue;
            }
        }
        if (inSection && startsWith(bare, key)) continue;
        out.push_back(current);
    }
    if (!sectionSeen) {
        if (!out.empty() && !out.back().empty()) out.emplace_back();
        out.emplace_back(kSection);
        out.push_back(line);
    }
    std::string text;
    for (const std::string& current : out)
        text += current + "\n";
    return text;
}

Status writeTextFile(const std::string& folder, const std::string& name,
                     const std::string& content) {
    if (!makeFolders(folder)) return errorFromErrno(errno, folder);
    return writeFileAtomically(folder + name, content);
}

}  // namespace

DesktopPlaces locateDesktopPlaces() {
    const std::string home =
        withTrailingSeparator(std::filesystem::path(homeFolder()).lexically_normal().string());
    std::string desktop;
    if (runTool("xdg-user-dir", {"DESKTOP"}, &desktop) != 0) desktop.clear();
    while (!desktop.empty() && (desktop.back() == '\n' || desktop.back() == '\r')) {
        desktop.pop_back();
    }
    desktop = std::filesystem::path(desktop).lexically_normal().string();
    // xdg-user-dir answers the home folder itself when no desktop folder is configured.
    if (desktop.empty() || desktop.front() != '/' || withTrailingSeparator(desktop) == home) {
        desktop = home + "Desktop";
    }
    return {withTrailingSeparator(desktop), xdgFolder("XDG_DATA_HOME", home + ".local/share"),
            xdgFolder("XDG_CONFIG_HOME", home + ".config"), siblingProgram("corvane")};
}

std::string desktopLinkEntry(std::string_view linkName, std::string_view target) {
    return "[Desktop Entry]\nVersion=1.0\nType=Link\nName=" + entryValue(linkName) +
           "\nComment=Corvane Backup Set\nIcon=text-x-generic\nURL=" + fileUrl(target) + "\n";
}

std::string setMimeTypePackage() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
           "  <mime-type type=\"" +
           std::string(kSetMimeType) +
           "\">\n"
           "    <comment>Corvane Backup Set</comment>\n"
           "    <sub-class-of type=\"text/plain\"/>\n"
           "    <glob pattern=\"*.cvt\"/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

std::string corvaneDesktopEntry(std::string_view corvaneProgram) {
    return "[Desktop Entry]\nVersion=1.0\nType=Application\nName=Corvane\n"
           "GenericName=Backup Utility\nComment=Back up a Corvane Backup Set\n"
           "Exec=" +
           execProgram(corvaneProgram) +
           " %f\nTerminal=false\nNoDisplay=true\n"
           "MimeType=" +
           std::string(kSetMimeType) + ";\nCategories=Utility;Archiving;\n";
}

Status installSetAssociation(const DesktopPlaces& places) {
    const std::string mimeFolder = places.dataHome + "mime/";
    const std::string applications = places.dataHome + "applications/";
    if (Status written =
            writeTextFile(mimeFolder + "packages/", "corvane.xml", setMimeTypePackage());
        !written) {
        return written;
    }
    if (Status written = writeTextFile(applications, "corvane.desktop",
                                       corvaneDesktopEntry(places.corvaneProgram));
        !written) {
        return written;
    }
    const std::string listPath = places.configHome + "mimeapps.list";
    std::string existing;
    if (const auto content = readWholeFile(listPath); content) {
        existing.assign(content->begin(), content->end());
    } else if (!isNotFoundCode(content.error().code)) {
        return content.error();
    }
    const std::string line = std::string(kSetMimeType) + "=corvane.desktop;";
    if (Status written = writeTextFile(places.configHome, "mimeapps.list",
                                       withDefaultApplication(existing, line));
        !written) {
        return written;
    }
    // The caches only speed the desktop up; without their tools it reads the files above.
    runTool("update-mime-database", {mimeFolder});
    runTool("update-desktop-database", {applications});
    return {};
}

Status createDesktopLink(const DesktopPlaces& places, std::string_view linkName,
                         std::string_view target) {
    const std::string name = std::string(linkName) + ".desktop";
    if (Status written =
            writeTextFile(places.desktopFolder, name, desktopLinkEntry(linkName, target));
        !written) {
        return written;
    }
    // File managers offer to open only links that are marked executable (trusted).
    ::chmod((places.desktopFolder + name).c_str(), 0755);
    return installSetAssociation(places);
}

}  // namespace corvane
