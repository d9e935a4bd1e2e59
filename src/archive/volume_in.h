#pragma once

#include "archive/volume_out.h"
#include "common/result.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace corvane::archive {

// Asks for a volume that is not where it should be; answered on the calling thread.
class VolumeAsker {
public:
    virtual ~VolumeAsker() = default;
    // Disk `number` (1, 2, ...; 0 = the last disk) is wanted; false stops the run.
    virtual bool insertDisk(int number) = 0;
    // The volume is not at `expected`: true to look again, at `foundAt` when it is set there.
    virtual bool volumeMissing(int number, const std::string& expected, std::string& foundAt) {
        (void)expected;
        (void)foundAt;
        return insertDisk(number);
    }
    virtual bool aborted() = 0;
};

// Random access to the volumes of an archive: the last volume under the archive's own name,
// the others "name.z01", "name.z02", ... beside it. A missing volume is asked for; after a few
// refused attempts reading fails with kVolumeMissing.
class VolumeReader {
public:
    VolumeReader(std::string archivePath, VolumeAsker* asker);
    ~VolumeReader();
    VolumeReader(const VolumeReader&) = delete;
    VolumeReader& operator=(const VolumeReader&) = delete;

    // Opens the last volume; the count is 1 until setCount says otherwise.
    Status openLast();
    // Opens every volume that is where it should be, asking for none.
    void openPresent();
    void setCount(std::uint32_t count);
    std::uint32_t count() const { return static_cast<std::uint32_t>(m_volumes.size()); }
    // The size of a volume, opening it (and asking for it) when needed.
    Result<std::uint64_t> size(std::uint32_t disk);
    // Reads `out.size()` bytes at `at`, continuing on the following volumes. May ask for
    // volumes: calling thread only.
    Status read(VolumePosition at, std::span<std::uint8_t> out);
    // The same from volumes already open, never asking: safe on worker threads as long as the
    // calling thread opens or closes nothing meanwhile.
    Status readOpen(VolumePosition at, std::span<std::uint8_t> out) const;
    bool isOpen(std::uint32_t disk) const;
    // The size of a volume already open, never asking; nullopt when it is not open.
    std::optional<std::uint64_t> openSize(std::uint32_t disk) const;
    // The position `length` bytes after `at`, across volumes whose sizes are known (opened);
    // nullopt when it would need a volume not open.
    std::optional<VolumePosition> advanceOpen(VolumePosition at, std::uint64_t length) const;
    const std::string& archivePath() const { return m_archivePath; }

private:
    struct Volume {
        int fd = -1;
        std::uint64_t size = 0;
    };
    Status ensureOpen(std::uint32_t disk);
    void closeAllBut(std::uint32_t disk);

    std::string m_archivePath;
    VolumeAsker* m_asker;
    std::vector<Volume> m_volumes;
    std::vector<std::string> m_located;  // volumes the user found elsewhere, by disk
    mutable std::mutex m_mutex;
};

}  // namespace corvane::archive
