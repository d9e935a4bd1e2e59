#include "config/config_store.h"

#include <algorithm>

#include "common/file_io.h"
#include "common/number_text.h"
#include "common/record_file.h"
#include "common/text.h"

namespace corvane {

ConfigStore::ConfigStore(std::string programFolder)
    : m_path(std::move(programFolder) + "Backup.cfg") {}

Result<ConfigRecord> ConfigStore::readStored() const {
    const auto record = RecordFile(m_path, ConfigRecord::kSize).read(1);
    if (!record) return record.error();
    ConfigRecord::Bytes bytes{};
    std::copy(record->begin(), record->end(), bytes.begin());
    return ConfigRecord::decode(bytes);
}

void ConfigStore::loadAtStart() {
    auto content = readWholeFile(m_path);
    if (!content) {
        if (isNotFoundCode(content.error().code)) {
            m_record.applyCreatedDefaults();
            (void)save();
        }
        return;
    }
    if (content->size() >= ConfigRecord::kSize) {
        ConfigRecord::Bytes bytes{};
        std::copy_n(content->begin(), ConfigRecord::kSize, bytes.begin());
        m_record = ConfigRecord::decode(bytes);
        if (m_record.version == ConfigRecord::kCurrentVersion) return;
    } else {
        // A record cut short carries no trustworthy version: reset it, keeping the password
        // text when all of its bytes are there.
        const std::size_t passwordEnd =
            config_layout::kPasswordText + config_layout::kPasswordTextWidth;
        if (content->size() >= passwordEnd) {
            m_record.passwordText = readFixedField(*content, config_layout::kPasswordText,
                                                   config_layout::kPasswordTextWidth);
        }
    }
    m_record.applyVersionResetDefaults();
    (void)save();
}

void ConfigStore::reload() {
    if (auto stored = readStored()) m_record = std::move(stored.value());
}

// The whole record is the whole file: it is replaced through a temporary file, so a crash never
// leaves a torn configuration.
Status ConfigStore::save() const {
    const auto bytes = m_record.encode();
    return RecordFile(m_path, ConfigRecord::kSize).rewriteAll({Bytes(bytes.begin(), bytes.end())});
}

void ConfigStore::saveSetDefaults(int compression, int freshen, int addNew, int addAllFolders) {
    reload();
    m_record.compression = static_cast<std::int16_t>(compression);
    m_record.freshen = static_cast<std::int16_t>(freshen);
    m_record.addNew = static_cast<std::int16_t>(addNew);
    m_record.addAllFolders = static_cast<std::int16_t>(addAllFolders);
    (void)save();
}

void ConfigStore::saveAtExit(const std::string& capacityText) {
    if (leadingNumber(capacityText) != 0) m_record.cdCapacity = capacityText;
    (void)save();
}

}  // namespace corvane
