#include "archive/archiver.h"

#include "archive/operations.h"

namespace corvane::archive {

template <class Run>
int Archiver::perform(Operation operation, ArchiveObserver& observer, Run run) {
    // One operation at a time; a second call while one runs is refused.
    Operation idle = kIdle;
    if (!m_operation.compare_exchange_strong(idle, operation)) return kBadArguments;
    m_abort.store(false);
    OperationEvents events(&observer, m_abort);
    const int result = run(events);
    m_operation.store(kIdle);
    return result;
}

int Archiver::preview(const ArchiveSettings& settings, ArchiveObserver& events) {
    return perform(kPreviewing, events,
                   [&](OperationEvents& operation) { return runPreview(settings, operation); });
}

int Archiver::compress(const ArchiveSettings& settings, ArchiveObserver& events) {
    OutputFactory& output = m_outputFactory != nullptr ? *m_outputFactory : systemOutputFactory();
    return perform(kCompressing, events, [&](OperationEvents& operation) {
        return runCompress(settings, operation, output);
    });
}

int Archiver::test(const ArchiveSettings& settings, ArchiveObserver& events) {
    return perform(kTesting, events,
                   [&](OperationEvents& operation) { return runTest(settings, operation); });
}

int Archiver::list(const ArchiveSettings& settings, ArchiveObserver& events,
                   ArchiveListing& listing) {
    return perform(kListing, events, [&](OperationEvents& operation) {
        return runList(settings, operation, listing);
    });
}

int Archiver::extract(const ArchiveSettings& settings, const ExtractRequest& request,
                      ArchiveObserver& events) {
    return perform(kExtracting, events, [&](OperationEvents& operation) {
        return runExtract(settings, request, operation);
    });
}

}  // namespace corvane::archive
