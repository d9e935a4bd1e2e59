#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane {

// The program-wide options record, stored as the single 226-byte record of Backup.cfg. Five
// fields (SubFolders, Compression, Freshen, AddNew, AddAllFolders) double as the open set's
// options. Check-state fields hold 0 or 1; texts are kept trimmed in memory.
struct ConfigRecord {
    static constexpr std::size_t kSize = 226;
    static constexpr const char* kCurrentVersion = "v6.0";

    std::int16_t subFolders = 1;
    std::int16_t compression = 6;  // 0 none, 1 low, 6 normal, 9 high
    std::int16_t freshen = 0;
    std::int16_t addNew = 0;
    std::int16_t shutDown = 1;
    std::int16_t skipPrompt = 0;
    std::int16_t promptPreview = 1;
    std::int16_t restoreOverwrite = 1;
    std::int16_t systemValidate = 1;
    std::int16_t newLocationPrompt = 1;
    std::int16_t addAllFolders = 0;
    std::int16_t password = 0;
    std::string passwordText;  // the stored (shifted) form, see password.h
    std::int16_t logFile = 0;
    std::int16_t noAskDefault = 1;
    std::int16_t verifyExists = 0;
    std::int16_t testMode = 2;  // 0 never, 1 always, other values ask
    std::string tempFolder;
    std::string version = kCurrentVersion;
    std::int16_t reserved = 1;
    std::string cdCapacity = "600 MB";

    using Bytes = std::array<std::uint8_t, kSize>;
    Bytes encode() const;
    static ConfigRecord decode(const Bytes& bytes);

    // The values a new Backup.cfg starts with (the password text is left as it is).
    void applyCreatedDefaults();
    // The values an existing Backup.cfg of another version is reset to: the created defaults
    // except NoAskDefault 0; the password text is left as it is.
    void applyVersionResetDefaults();

    friend bool operator==(const ConfigRecord&, const ConfigRecord&) = default;
};

// Field offsets and widths within the record.
namespace config_layout {
inline constexpr std::size_t kSubFolders = 0;
inline constexpr std::size_t kCompression = 2;
inline constexpr std::size_t kFreshen = 4;
inline constexpr std::size_t kAddNew = 6;
inline constexpr std::size_t kShutDown = 8;
inline constexpr std::size_t kSkipPrompt = 10;
inline constexpr std::size_t kPromptPreview = 12;
inline constexpr std::size_t kRestoreOverwrite = 14;
inline constexpr std::size_t kSystemValidate = 16;
inline constexpr std::size_t kNewLocationPrompt = 18;
inline constexpr std::size_t kAddAllFolders = 20;
inline constexpr std::size_t kPassword = 22;
inline constexpr std::size_t kPasswordText = 24;
inline constexpr std::size_t kPasswordTextWidth = 30;
inline constexpr std::size_t kLogFile = 54;      // 24 + 30
inline constexpr std::size_t kNoAskDefault = 56;
inline constexpr std::size_t kVerifyExists = 58;
inline constexpr std::size_t kTestMode = 60;
inline constexpr std::size_t kTempFolder = 62;
inline constexpr std::size_t kTempFolderWidth = 150;
inline constexpr std::size_t kVersion = 212;  // 62 + 150
inline constexpr std::size_t kVersionWidth = 6;
inline constexpr std::size_t kReserved = 218;
inline constexpr std::size_t kCdCapacity = 220;
inline constexpr std::size_t kCdCapacityWidth = 6;
}  // namespace config_layout

}  // namespace corvane
