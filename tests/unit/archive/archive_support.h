#pragma once

#include "archive/archive_observer.h"
#include "archive/archiver.h"
#include "archive/output_file.h"
#include "archive/zip_item.h"
#include "subprocess.h"
#include "temp_folder.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace corvane::archive::test {

using corvane::test::readFile;
using corvane::test::requireTool;  // a missing oracle tool fails the test
using corvane::test::writeFile;

// Records every event in order and answers the questions as the test sets it up.
class RecordingObserver : public ArchiveObserver {
public:
    struct Event {
        std::string kind;
        std::string name;
        std::int64_t value = 0;
    };

    void onFileProgress(const std::string& name, int percent, bool last) override {
        events.push_back({last ? "file-done" : "file-progress", name, percent});
    }
    void onOverallProgress(const OverallProgress& progress) override { lastProgress = progress; }
    void onPreviewingFile(const std::string& name) override {
        events.push_back({"previewing", name});
    }
    void onOperationComplete(std::uint64_t bytes) override {
        estimate = bytes;
        events.push_back({"complete", {}, static_cast<std::int64_t>(bytes)});
    }
    void onSkippedFile(const std::string& name, int reason) override {
        events.push_back({"skipped", name, reason});
    }
    bool onIntegrityWarning(const std::string& name) override {
        events.push_back({"warning", name});
        return goOnAfterWarning;
    }
    bool onPreprocessingFile(const std::string& name, std::uint64_t size,
                             std::string& storedName) override {
        events.push_back({"preprocessing", name, static_cast<std::int64_t>(size)});
        return !preprocessing || preprocessing(name, size, storedName);
    }
    bool onInsertDisk(int number) override {
        events.push_back({"insert-disk", {}, number});
        return !insertDisk || insertDisk(number);
    }
    bool onDiskNotEmpty(const std::string& folder) override {
        events.push_back({"disk-not-empty", folder});
        return diskNotEmpty && diskNotEmpty(folder);
    }
    bool onPasswordNeeded(std::string& password) override;

    // The names or values of the events of one kind, in order.
    std::vector<std::string> names(const std::string& kind) const;
    std::vector<std::int64_t> values(const std::string& kind) const;
    std::size_t count(const std::string& kind) const { return names(kind).size(); }

    std::vector<Event> events;
    OverallProgress lastProgress;
    std::uint64_t estimate = 0;
    bool goOnAfterWarning = true;
    std::vector<std::string> passwords;  // answers to password requests, in order
    std::function<bool(const std::string&, std::uint64_t, std::string&)> preprocessing;
    std::function<bool(int)> insertDisk;
    std::function<bool(const std::string&)> diskNotEmpty;
};

// The component with the settings and observer a test runs it with, side by side, so that a
// test can change one setting between runs.
class ZipUnderTest {
public:
    ArchiveSettings settings;

    void setObserver(ArchiveObserver* observer) { m_observer = observer ? observer : &m_quiet; }
    void setOutputFactory(OutputFactory* factory) { m_archiver.setOutputFactory(factory); }
    int compress() { return m_archiver.compress(settings, *m_observer); }
    int test() { return m_archiver.test(settings, *m_observer); }
    int preview() { return m_archiver.preview(settings, *m_observer); }
    int list(ArchiveListing& listing) { return m_archiver.list(settings, *m_observer, listing); }
    int extract(const ExtractRequest& request) {
        return m_archiver.extract(settings, request, *m_observer);
    }
    void requestAbort() { m_archiver.requestAbort(); }
    ArchiveComponent::Operation currentOperation() const { return m_archiver.currentOperation(); }

private:
    Archiver m_archiver;
    ArchiveObserver m_quiet;
    ArchiveObserver* m_observer = &m_quiet;
};

// An entry as read back by extractAll.
struct Extracted {
    ZipItem item;
    std::string content;
};

// Reads every entry of an archive (single or split) with the component's own reader,
// decrypting and inflating; fails the test on any error.
std::map<std::string, Extracted> extractAll(const std::string& archivePath,
                                            const std::string& password = {});

// A device that accepts `limit` bytes in all and then fails every write, as a full disk does.
class FailingFactory final : public OutputFactory {
public:
    explicit FailingFactory(std::uint64_t limit) : m_left(limit) {}
    Result<std::unique_ptr<OutputFile>> create(const std::string& path,
                                               const std::optional<FileAccess>& like) override;

private:
    std::uint64_t m_left;
};

// Deterministic test data: text that compresses like source code, or bytes that do not.
std::string textData(std::size_t size, unsigned seed);
std::string randomData(std::size_t size, unsigned seed);

// Runs a shell command; returns its exit status and, when asked, its output (stdout+stderr).
int runCommand(const std::string& command, std::string* output = nullptr);
// `text` in single quotes, for a shell command (the tests' paths hold no quote).
inline std::string inQuotes(const std::string& text) {
    return "'" + text + "'";
}

// The modification (and access) time of `path` itself, not of a link's target.
void setTimeNs(const std::string& path, std::int64_t nanoseconds);
inline void setModificationTime(const std::string& path, std::int64_t seconds) {
    setTimeNs(path, seconds * 1'000'000'000);
}

}  // namespace corvane::archive::test
