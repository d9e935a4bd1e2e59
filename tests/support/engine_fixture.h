#pragma once

#include "engine/backup_runner.h"
#include "fake_component.h"
#include "set_fixture.h"

namespace corvane::test {

// A set fixture with a backup runner over a fake archive component and fake drives. The set
// "Office.cvt" is open with one folder entry; the clock says 4 December 2026, 10:30.
class EngineFixture : public SetFixture {
protected:
    EngineFixture()
        : runner(
              {home.path(), config, flags, host, document, component, clock, drives, fileSystem}) {
        writeFile(home / "data/a.txt", "alpha");
        makeFolder(home / "out");
        document.newSet("Office.cvt");
        document.addFolder(home / "data");
        document.set().defaultLocation = home / "out/$DATE$.bac";
        config.record().noAskDefault = 1;
        config.record().testMode = 0;
        config.record().logFile = 1;
    }

    std::string datedArchive() const { return home / "out/12-04-2026 - Office.bac"; }
    std::string backupLog() const {
        return fileExists(home / "Backup.log") ? readFile(home / "Backup.log") : std::string();
    }
    bool logHas(const std::string& line) const {
        return backupLog().find(line + "\r\n") != std::string::npos;
    }

    FakeComponent component;
    FakeDrives drives;
    BackupRunner runner;
};

}  // namespace corvane::test
