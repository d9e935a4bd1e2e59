#pragma once

#include "host/host.h"
#include "offsite/ini_section.h"

#include <atomic>
#include <functional>
#include <string>

namespace corvane {

// "Off-site Copy...": the off-site settings of the open set, as its section of Offsite.ini in
// the program folder, edited with the rules the copy itself applies, and a connection test.
// The window binds its fields here and shows what onChanged announces.
class OffsiteDialog {
public:
    static constexpr std::string_view kTitle = "Off-site Copy";
    static constexpr int kHelpTopic = 81;

    // `setPath` is the open set's file; its name without ".cvt" names the section.
    OffsiteDialog(Host& host, std::string programFolder, const std::string& setPath);

    // Reads the set's section as it is written (a broken one too, so that it can be mended).
    // False, after a box saying why, when Offsite.ini cannot be read at all.
    bool load();
    const std::string& setName() const { return m_setName; }
    std::string intro() const;

    const std::string& url() const { return m_url; }
    const std::string& endpoint() const { return m_endpoint; }
    const std::string& region() const { return m_region; }
    const std::string& credentialsFile() const { return m_credentialsFile; }
    const std::string& keep() const { return m_keep; }
    void setUrl(const std::string& value);
    void setEndpoint(const std::string& value);
    void setRegion(const std::string& value);
    void setCredentialsFile(const std::string& value);
    void setKeep(const std::string& value);
    // "Browse...": a chooser for the credentials file.
    void browseCredentials();

    // Endpoint and Region apply to s3:// remotes only.
    bool s3Fields() const;
    bool testEnabled() const;
    bool okEnabled() const { return !m_testing; }
    bool testing() const { return m_testing; }
    // What the last test said; empty before the first.
    const std::string& testResult() const { return m_testResult; }
    bool testPassed() const { return m_testPassed; }

    // "Test connection": sends, lists and deletes a small probe object with these settings
    // (not yet saved), once, while the window's events go on; Cancel stops it.
    void testConnection();
    // Cancel while a test runs stops it; otherwise the window closes without saving.
    bool cancel();
    // OK: saves the section (an empty Url removes it, after asking); false keeps the window
    // open.
    bool ok();

    std::function<void()> onChanged;

private:
    offsite::IniKeys keys() const;
    void changed() {
        if (onChanged) onChanged();
    }

    Host& m_host;
    std::string m_programFolder;
    std::string m_setName;
    bool m_hadSection = false;
    std::string m_url;
    std::string m_endpoint;
    std::string m_region;
    std::string m_credentialsFile;
    std::string m_keep;
    bool m_testing = false;
    std::atomic<bool> m_cancel{false};
    std::string m_testResult;
    bool m_testPassed = false;
};

}  // namespace corvane
