#pragma once

#include <string>
#include <string_view>

#include "sets/set_document.h"

namespace corvane {

// "Backup Default Location": changes where the open set's archive goes. Closing the dialog, by
// "&Close" or the window's close box, makes the shown location the set's destination.
class DefaultLocationDialog {
public:
    static constexpr std::string_view kTitle = "Backup Default Location";
    static constexpr std::string_view kIntro =
        "This option allows you to quickly and easily change the default location for your "
        "backup.  This location is where your backup archive is stored.";
    static constexpr std::string_view kLocationLabel = "Current Default Location";
    static constexpr std::string_view kSetLocationCaption = "&Set Location";
    static constexpr std::string_view kCloseCaption = "&Close";
    static constexpr std::string_view kHelpCaption = "&Help";
    static constexpr int kHelpTopic = 43;

    explicit DefaultLocationDialog(SetDocument& document);

    const std::string& location() const { return m_location; }
    void setLocation(std::string location) { m_location = std::move(location); }

    bool useDate() const { return m_useDate; }
    // Ticking gives the location the dated archive name, unticking the set's own archive name.
    void setUseDate(bool useDate);
    // The date box is offered when the dialog opens with a location to rename, and stays as it
    // was at opening whatever the box shows later.
    bool dateEnabled() const { return m_dateEnabled; }

    // "&Set Location": a chosen folder followed by the archive name the date box asks for.
    void chooseLocation();

    // Stores the trimmed location as the set's destination; a changed destination marks the
    // set changed, so it is not lost when the set is closed without a backup.
    void close();
    bool isOpen() const { return m_open; }

private:
    std::string archiveName() const;

    SetDocument& m_document;
    std::string m_location;
    bool m_useDate = false;
    bool m_dateEnabled = false;
    bool m_open = true;
};

}  // namespace corvane
