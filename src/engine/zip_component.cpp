#include "engine/zip_component.h"

namespace corvane {

void ZipComponent::reset() {
    m_settings = ComponentSettings{};
    m_zip.reset();
}

void ZipComponent::apply(archive::ArchiveObserver& events) {
    m_zip.archivePath = m_settings.archivePath;
    m_zip.clearLists();
    for (const auto& entry : m_settings.includes) m_zip.addInclude(entry);
    for (const auto& entry : m_settings.exclusions) m_zip.addExclusion(entry);
    m_zip.level = m_settings.level;
    m_zip.method = m_settings.method;
    m_zip.spanDisks = m_settings.spanDisks;
    m_zip.diskSize = m_settings.diskSize;
    m_zip.skipIfNotInArchive = m_settings.skipIfNotInArchive;
    m_zip.skipIfNotNewer = m_settings.skipIfNotNewer;
    m_zip.skipIfNewer = m_settings.skipIfNewer;
    m_zip.useTempCopy = m_settings.useTempCopy;
    m_zip.tempFolder = m_settings.tempFolder;
    m_zip.password = m_settings.password;
    m_zip.runStart = m_settings.runStart;
    m_zip.setObserver(&events);
}

int ZipComponent::preview(archive::ArchiveObserver& events) {
    apply(events);
    const int code = m_zip.preview();
    m_zip.setObserver(nullptr);
    return code;
}

int ZipComponent::compress(archive::ArchiveObserver& events) {
    apply(events);
    const int code = m_zip.compress();
    m_zip.setObserver(nullptr);
    return code;
}

int ZipComponent::test(archive::ArchiveObserver& events) {
    apply(events);
    const int code = m_zip.test();
    m_zip.setObserver(nullptr);
    return code;
}

}  // namespace corvane
