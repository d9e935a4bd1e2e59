#pragma once

#include "host/host.h"

#include <string>

namespace corvane {

// Opens files and web addresses with the desktop's programs (the window layer's services).
class DesktopOpener {
public:
    virtual ~DesktopOpener() = default;
    // Shows a local HTML page; false when nothing could show it.
    virtual bool openPage(const std::string& path) = 0;
    // Opens a web address in the default browser; false when no browser could be started.
    virtual bool openAddress(const std::string& address) = 0;
};

// The help pages installed beside the program: help/index.html (the contents) and one page
// help/topic-<n>.html for each help topic number of the windows.
class HelpPages {
public:
    static constexpr int kContents = 0;

    // `helpFolder` ends in "/".
    HelpPages(std::string helpFolder, Host& host, DesktopOpener& opener);

    // The folder beside the running executable.
    static std::string installedFolder();

    // The page of a topic; the contents page for topic 0.
    std::string pagePath(int topic) const;

    // Opens a topic's page; a missing page (or one nothing can show) is reported in a box.
    void open(int topic);

    // Opens a web address; when no browser starts, a box gives the address to type in.
    void openAddress(const std::string& address);

private:
    std::string m_folder;
    Host& m_host;
    DesktopOpener& m_opener;
};

}  // namespace corvane
