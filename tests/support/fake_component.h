#pragma once

#include "archive/archiver.h"
#include "platform/drives.h"
#include "temp_folder.h"

#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace corvane::test {

// An archive component whose operations are scripted by the test: each operation runs the
// script given for it (which may raise events) and returns its code. By default compress writes
// a small file at the archive path and returns 0; test and preview return 0. The settings seen
// by each call are kept.
class FakeComponent final : public archive::ArchiveComponent {
public:
    using Events = archive::ArchiveObserver;
    using Settings = archive::ArchiveSettings;
    using Script = std::function<int(Events&, FakeComponent&)>;

    Script onPreview = [](Events&, FakeComponent&) { return 0; };
    Script onCompress = [](Events&, FakeComponent& self) {
        self.writeArchive();
        return 0;
    };
    Script onTest = [](Events&, FakeComponent&) { return 0; };

    int preview(const Settings& settings, Events& events) override {
        return run(kPreviewing, onPreview, settings, events, previews);
    }
    int compress(const Settings& settings, Events& events) override {
        return run(kCompressing, onCompress, settings, events, compresses);
    }
    int test(const Settings& settings, Events& events) override {
        return run(kTesting, onTest, settings, events, tests);
    }
    void requestAbort() override { m_aborted = true; }
    Operation currentOperation() const override { return m_operation; }

    // The settings of the running (or last) operation.
    const Settings& settings() const { return m_settings; }
    bool abortRequested() const { return m_aborted; }
    // A script's answer to an abort request: 518 when one was made.
    int abortedOr(int code) const { return m_aborted ? 518 : code; }
    void writeArchive() const {
        if (!m_settings.archivePath.empty())
            writeFile(m_settings.archivePath, "PK\x05\x06 archive");
    }

    std::vector<Settings> previews, compresses, tests;

private:
    int run(Operation operation, Script& script, const Settings& settings, Events& events,
            std::vector<Settings>& calls) {
        m_aborted = false;
        m_settings = settings;
        calls.push_back(settings);
        m_operation = operation;
        const int code = script(events, *this);
        m_operation = kIdle;
        return code;
    }

    Settings m_settings;
    bool m_aborted = false;
    Operation m_operation = kIdle;
};

// Drives whose type and size the test decides.
class FakeDrives final : public Drives {
public:
    DriveType type = DriveType::Fixed;
    std::uint64_t total = 1'000'000;
    std::string mount = "/media/usb";

    DriveType driveType(const std::string& path) const override {
        paths.push_back(path);
        return type;
    }
    std::string mountPoint(const std::string&) const override { return mount; }
    std::optional<std::uint64_t> totalBytes(const std::string&) const override { return total; }

    mutable std::vector<std::string> paths;
};

}  // namespace corvane::test
