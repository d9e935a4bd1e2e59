#pragma once

#include <string>

#include "common/result.h"
#include "config/config_record.h"

namespace corvane {

// The in-memory ConfigRecord and its file, Backup.cfg in the program folder. Every part of the
// program reads the options from here; the writers below are the only ones that store them.
class ConfigStore {
public:
    explicit ConfigStore(std::string programFolder);

    ConfigRecord& record() { return m_record; }
    const ConfigRecord& record() const { return m_record; }
    const std::string& filePath() const { return m_path; }

    // Start-up: creates the file with the created defaults when it is missing; resets a file of
    // another version (or one cut short of a whole record) to the version-reset defaults and
    // writes it back. Never fails visibly: a file that cannot be read or written leaves the
    // values as they are.
    void loadAtStart();

    // Re-reads the whole record (the five set options included). A missing, short or unreadable
    // file leaves the values as they are.
    void reload();

    // Writes the whole in-memory record as record 1, creating the file when missing.
    Status save() const;

    // Re-reads the stored record, puts the four given values in, and writes it back: the values
    // become the new set's options and the stored defaults. Errors are ignored.
    void saveSetDefaults(int compression, int freshen, int addNew, int addAllFolders);

    // At exit: a capacity text whose numeric value is not 0 becomes CDCapacity; then the record
    // is saved. Errors are ignored.
    void saveAtExit(const std::string& capacityText);

private:
    // The whole stored record, or an error when the file is missing, short or unreadable.
    Result<ConfigRecord> readStored() const;

    std::string m_path;
    ConfigRecord m_record;
};

}  // namespace corvane
