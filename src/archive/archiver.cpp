#include "archive/archiver.h"

#include "archive/operations.h"

namespace corvane::archive {

void Archiver::clearLists() {
    m_includes.clear();
    m_exclusions.clear();
}

void Archiver::reset() {
    clearLists();
    skipIfNotInArchive = false;
    skipIfNotNewer = false;
    skipIfNewer = false;
    useTempCopy = false;
    tempFolder.clear();
    password.clear();
    runStart = true;
    m_abort.store(false);
}

template <class Run>
int Archiver::perform(Operation operation, Run run) {
    // One operation at a time; a second call while one runs is refused.
    int idle = kIdle;
    if (!m_operation.compare_exchange_strong(idle, operation)) return kBadArguments;
    m_abort.store(false);
    ArchiveSettings settings;
    settings.archivePath = archivePath;
    settings.includes = m_includes;
    settings.exclusions = m_exclusions;
    settings.level = level;
    settings.method = method;
    settings.spanDisks = spanDisks;
    settings.diskSize = diskSize;
    settings.skipIfNotInArchive = skipIfNotInArchive;
    settings.skipIfNotNewer = skipIfNotNewer;
    settings.skipIfNewer = skipIfNewer;
    settings.useTempCopy = useTempCopy;
    settings.tempFolder = tempFolder;
    settings.password = password;
    settings.outputFactory = m_outputFactory;
    OperationEvents events(m_observer, m_abort);
    const int result = run(settings, events);
    m_operation.store(kIdle);
    return result;
}

int Archiver::preview() {
    return perform(kPreviewing, runPreview);
}
int Archiver::compress() {
    return perform(kCompressing, runCompress);
}
int Archiver::test() {
    return perform(kTesting, runTest);
}

}  // namespace corvane::archive
