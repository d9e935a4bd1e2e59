#pragma once

#include "archive/archiver.h"
#include "engine/archive_component.h"

namespace corvane {

// The archive component of real runs: Corvane's ZIP engine behind the engine's interface.
class ZipComponent final : public ArchiveComponent {
public:
    void reset() override;
    ComponentSettings& settings() override { return m_settings; }
    int preview(archive::ArchiveObserver& events) override;
    int compress(archive::ArchiveObserver& events) override;
    int test(archive::ArchiveObserver& events) override;
    void requestAbort() override { m_zip.requestAbort(); }
    int currentOperation() const override { return m_zip.currentOperation(); }

private:
    // Hands the settings to the engine and routes its events for one operation.
    void apply(archive::ArchiveObserver& events);

    ComponentSettings m_settings;
    archive::Archiver m_zip;
};

}  // namespace corvane
