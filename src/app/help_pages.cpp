#include "app/help_pages.h"

#include "platform/program_folder.h"

#include <unistd.h>

namespace corvane {

HelpPages::HelpPages(std::string helpFolder, Host& host, DesktopOpener& opener)
    : m_folder(withTrailingSeparator(std::move(helpFolder))), m_host(host), m_opener(opener) {}

std::string HelpPages::installedFolder() {
    return executableFolder() + "help/";
}

std::string HelpPages::pagePath(int topic) const {
    if (topic == kContents) return m_folder + "index.html";
    return m_folder + "topic-" + std::to_string(topic) + ".html";
}

void HelpPages::open(int topic) {
    const std::string page = pagePath(topic);
    if (::access(page.c_str(), R_OK) != 0) {
        m_host.message(Icon::Exclamation, Buttons::Ok, "Help Not Found",
                       "The help page for this screen cannot be found:\r\n\r\n" + page +
                           "\r\n\r\nThe help pages are installed in the 'help' folder beside the "
                           "Corvane program.");
        return;
    }
    if (!m_opener.openPage(page)) {
        m_host.message(Icon::Exclamation, Buttons::Ok, "Help Not Available",
                       "Corvane could not show the help page:\r\n\r\n" + page);
    }
}

void HelpPages::openAddress(const std::string& address) {
    if (m_opener.openAddress(address)) return;
    m_host.message(Icon::Information, Buttons::Ok, "Web Page",
                   "Corvane could not start your web browser.  The page is at:\r\n\r\n" + address);
}

}  // namespace corvane
