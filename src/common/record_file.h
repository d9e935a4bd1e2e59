#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "common/result.h"

namespace corvane {

// A file of fixed-length records numbered from 1, with no header and no line ends: Backup.cfg,
// Timed.dat, Tasks.dat and Favorite.dat. A trailing partial record is not a record.
class RecordFile {
public:
    RecordFile(std::string path, std::size_t recordSize);

    const std::string& path() const { return m_path; }
    std::size_t recordSize() const { return m_recordSize; }

    // Whole records in the file; 0 when the file does not exist.
    Result<std::size_t> count() const;

    // Every whole record, in order; none when the file does not exist.
    Result<std::vector<Bytes>> readAll() const;

    // Record `number` (from 1); an error when the file holds fewer records.
    Result<Bytes> read(std::size_t number) const;

    // Writes record `number` (from 1) in place, creating the file when missing. Writing past the
    // last record appends (number = count + 1).
    Status write(std::size_t number, const Bytes& record) const;

    // Replaces the whole file with `records` through a temporary file and a rename.
    Status rewriteAll(const std::vector<Bytes>& records) const;

private:
    std::string m_path;
    std::size_t m_recordSize;
};

}  // namespace corvane
