#pragma once

#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "engine/archive_component.h"
#include "platform/drives.h"

namespace corvane::test {

// An archive component whose operations are scripted by the test: each operation runs the
// script given for it (which may raise events) and returns its code. By default compress writes
// a small file at the archive path and returns 0; test and preview return 0. The settings seen
// by each call are kept.
class FakeComponent final : public ArchiveComponent {
public:
    using Events = archive::ArchiveObserver;
    using Script = std::function<int(Events&, FakeComponent&)>;

    Script onPreview = [](Events&, FakeComponent&) { return 0; };
    Script onCompress = [](Events&, FakeComponent& self) {
        self.writeArchive();
        return 0;
    };
    Script onTest = [](Events&, FakeComponent&) { return 0; };

    void reset() override {
        m_settings = ComponentSettings{};
        m_aborted = false;
        ++resets;
    }
    ComponentSettings& settings() override { return m_settings; }
    int preview(Events& events) override { return run(kPreviewing, onPreview, events, previews); }
    int compress(Events& events) override { return run(kCompressing, onCompress, events, compresses); }
    int test(Events& events) override { return run(kTesting, onTest, events, tests); }
    void requestAbort() override { m_aborted = true; }
    int currentOperation() const override { return m_operation; }

    bool abortRequested() const { return m_aborted; }
    // A script's answer to an abort request: 518 when one was made.
    int abortedOr(int code) const { return m_aborted ? 518 : code; }
    void writeArchive() const;

    int resets = 0;
    std::vector<ComponentSettings> previews, compresses, tests;

private:
    int run(int operation, Script& script, Events& events,
            std::vector<ComponentSettings>& calls) {
        m_aborted = false;
        calls.push_back(m_settings);
        m_operation = operation;
        const int code = script(events, *this);
        m_operation = kIdle;
        return code;
    }

    ComponentSettings m_settings;
    bool m_aborted = false;
    int m_operation = kIdle;
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
