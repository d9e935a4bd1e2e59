#pragma once

#include "host/host.h"
#include "sets/entry_dialogs.h"

#include <string>
#include <string_view>

namespace corvane {

// The archive name that a dated destination carries until a backup replaces the token.
inline constexpr std::string_view kDatedArchiveName = "$DATE$.bac";

// The archive name of a set: its file name without the last four characters, its extension
// whatever its letter case, followed by ".bac" ("Daily.cvt" and "Daily.CVT" give "Daily.bac").
std::string archiveNameFor(std::string_view setFileName);

// The location with its file-name part (after the last "/") replaced by `archiveName`. A
// location without a "/" has no folder part to keep and is returned unchanged.
std::string withArchiveName(std::string_view location, std::string_view archiveName);

// The name, location and date fields that the new-set dialog and the wizard's first page
// share, with their enabling rules.
class SetNamingFields {
public:
    static constexpr std::string_view kNameLabel = "New Backup Set Name";
    static constexpr std::string_view kLocationLabel = "Default Backup Location";
    static constexpr std::string_view kUseDateCaption =
        "Use Current Date to Name the Backup Archive";

    explicit SetNamingFields(Host& host) : m_host(host) {}

    const std::string& name() const { return m_name; }
    // An empty (trimmed) name unticks the date box; the date box and the location button are
    // enabled exactly while the name holds text.
    void setName(std::string name);
    TextSelection nameFocusSelection() const { return trimmedTextSelection(m_name); }

    const std::string& location() const { return m_location; }
    void setLocation(std::string location) { m_location = std::move(location); }

    bool useDate() const { return m_useDate; }
    // Ticking gives the location the dated archive name, unticking the set's own name.
    void setUseDate(bool useDate);
    bool dateEnabled() const;
    bool locationButtonEnabled() const { return dateEnabled(); }

    // The location button: a chosen folder followed by the archive name the date box asks for.
    void chooseLocation();

    // OK, or "&Next >>" in the wizard: both the name and the location hold text.
    bool complete() const;

    // "Daily.cvt" for the name "  Daily ".
    std::string setFileName() const;
    // The archive name that follows the chosen folder: dated, or the set's own name.
    std::string archiveName() const;

private:
    Host& m_host;
    std::string m_name;
    std::string m_location;
    bool m_useDate = false;
};

}  // namespace corvane
