#include "config/config_record.h"

#include "common/le_codec.h"
#include "common/text.h"

namespace corvane {

namespace L = config_layout;

ConfigRecord::Bytes ConfigRecord::encode() const {
    Bytes bytes{};
    const std::span<std::uint8_t> out(bytes);
    le::putI16(out, L::kSubFolders, subFolders);
    le::putI16(out, L::kCompression, compression);
    le::putI16(out, L::kFreshen, freshen);
    le::putI16(out, L::kAddNew, addNew);
    le::putI16(out, L::kShutDown, shutDown);
    le::putI16(out, L::kSkipPrompt, skipPrompt);
    le::putI16(out, L::kPromptPreview, promptPreview);
    le::putI16(out, L::kRestoreOverwrite, restoreOverwrite);
    le::putI16(out, L::kSystemValidate, systemValidate);
    le::putI16(out, L::kNewLocationPrompt, newLocationPrompt);
    le::putI16(out, L::kAddAllFolders, addAllFolders);
    le::putI16(out, L::kPassword, password);
    writeFixedField(out, L::kPasswordText, L::kPasswordTextWidth, passwordText);
    le::putI16(out, L::kLogFile, logFile);
    le::putI16(out, L::kNoAskDefault, noAskDefault);
    le::putI16(out, L::kVerifyExists, verifyExists);
    le::putI16(out, L::kTestMode, testMode);
    writeFixedField(out, L::kTempFolder, L::kTempFolderWidth, tempFolder);
    writeFixedField(out, L::kVersion, L::kVersionWidth, version);
    le::putI16(out, L::kReserved, reserved);
    writeFixedField(out, L::kCdCapacity, L::kCdCapacityWidth, cdCapacity);
    return bytes;
}

ConfigRecord ConfigRecord::decode(const Bytes& bytes) {
    const std::span<const std::uint8_t> in(bytes);
    ConfigRecord record;
    record.subFolders = le::getI16(in, L::kSubFolders);
    record.compression = le::getI16(in, L::kCompression);
    record.freshen = le::getI16(in, L::kFreshen);
    record.addNew = le::getI16(in, L::kAddNew);
    record.shutDown = le::getI16(in, L::kShutDown);
    record.skipPrompt = le::getI16(in, L::kSkipPrompt);
    record.promptPreview = le::getI16(in, L::kPromptPreview);
    record.restoreOverwrite = le::getI16(in, L::kRestoreOverwrite);
    record.systemValidate = le::getI16(in, L::kSystemValidate);
    record.newLocationPrompt = le::getI16(in, L::kNewLocationPrompt);
    record.addAllFolders = le::getI16(in, L::kAddAllFolders);
    record.password = le::getI16(in, L::kPassword);
    record.passwordText = readFixedField(in, L::kPasswordText, L::kPasswordTextWidth);
    record.logFile = le::getI16(in, L::kLogFile);
    record.noAskDefault = le::getI16(in, L::kNoAskDefault);
    record.verifyExists = le::getI16(in, L::kVerifyExists);
    record.testMode = le::getI16(in, L::kTestMode);
    record.tempFolder = readFixedField(in, L::kTempFolder, L::kTempFolderWidth);
    record.version = readFixedField(in, L::kVersion, L::kVersionWidth);
    record.reserved = le::getI16(in, L::kReserved);
    record.cdCapacity = readFixedField(in, L::kCdCapacity, L::kCdCapacityWidth);
    return record;
}

void ConfigRecord::applyCreatedDefaults() {
    std::string keptPassword = std::move(passwordText);
    *this = ConfigRecord{};
    passwordText = std::move(keptPassword);
}

void ConfigRecord::applyVersionResetDefaults() {
    applyCreatedDefaults();
    noAskDefault = 0;
}

}  // namespace corvane
