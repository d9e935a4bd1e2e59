#pragma once

#include "archive/output_file.h"
#include "common/result.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace corvane::archive {

// A place in a (possibly split) archive: the volume index from 0 and the offset in it.
struct VolumePosition {
    std::uint32_t disk = 0;
    std::uint64_t offset = 0;
};

// The questions a split writer asks between volumes; answered on the calling thread.
class VolumeEvents {
public:
    virtual ~VolumeEvents() = default;
    // Disk `number` (2, 3, ...) is wanted; false stops the run.
    virtual bool insertDisk(int number) = 0;
    // The folder of a new volume holds other files; true clears them.
    virtual bool clearFolder(const std::string& folder) = 0;
    virtual bool aborted() = 0;
};

struct VolumeOptions {
    std::string archivePath;
    bool split = false;
    std::uint64_t diskSize = 0;  // split: bytes per volume, 0 = free space of each disk
    std::string tempFolder;      // single: where the new archive is built (empty = beside it)
    std::uint64_t sizeBound = ~std::uint64_t{0};  // the whole archive is at most this long
};

// The name of split volume `disk` (from 0) of an archive of `count` volumes: "name.z01",
// "name.z02", ..., the last under the archive's own name.
std::string volumeName(const std::string& archivePath, std::uint32_t disk, std::uint32_t count);

// The start of the names of the temporary files a run writes for `archivePath`.
std::string temporaryPrefix(const std::string& archivePath);

// The file an archive path stands for: a symbolic link is followed (to where it points, even
// when nothing is there yet), so that a run updates the link's target and keeps the link.
std::string resolveArchivePath(const std::string& archivePath);

// Writes an archive strictly in order. A single archive is built under a temporary name and
// replaces the destination only in finish(), so a failure or cancel leaves the old file as it
// was. Split output starts a new volume when one is full; records (headers, directory) never
// cross a volume boundary, data may. A finished volume is never touched again.
class VolumeWriter {
public:
    VolumeWriter(VolumeOptions options, OutputFactory& factory, VolumeEvents& events);
    ~VolumeWriter();  // removes the unfinished temporary file
    VolumeWriter(const VolumeWriter&) = delete;
    VolumeWriter& operator=(const VolumeWriter&) = delete;

    Status start();
    VolumePosition position() const { return {m_disk, m_offset - m_shift}; }
    // The folder the archive is built in (its temporary file's), with a trailing "/".
    std::string workFolder() const;
    Status writeRecord(std::span<const std::uint8_t> record);
    Status writeData(std::span<const std::uint8_t> data);
    // Moves to the next volume unless `bytes` more fit in this one.
    Status ensureRoom(std::uint64_t bytes);
    // Split output that still fits in its first volume with `tailBytes` more becomes a plain
    // archive: the marker is dropped. Returns how far the offsets written so far move back.
    std::uint64_t settleAsSingle(std::uint64_t tailBytes);
    Status finish();

private:
    Status openVolume();
    Status closeVolume(bool last);
    Status nextVolume();
    Status flush();
    Status append(std::span<const std::uint8_t> bytes);
    Status prepareFolder(const std::string& folder);
    Status installSingle();
    void abandon();

    VolumeOptions m_options;
    std::optional<FileAccess> m_access;
    OutputFactory& m_factory;
    VolumeEvents& m_events;
    std::unique_ptr<OutputFile> m_file;
    std::string m_tempPath;
    std::vector<std::uint8_t> m_buffer;
    std::set<std::string> m_written;  // volume names this run wrote (never cleared away)
    std::uint32_t m_disk = 0;
    std::uint64_t m_offset = 0;
    std::uint64_t m_capacity = ~std::uint64_t{0};
    std::uint64_t m_shift = 0;
    bool m_marker = false;
    bool m_finished = false;
};

}  // namespace corvane::archive
