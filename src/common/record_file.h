#pragma once

#include "common/file_io.h"
#include "common/result.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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

    // Writes `bytes` at `offset` within record `number`, leaving every other byte alone.
    Status writeWithin(std::size_t number, std::size_t offset, std::string_view bytes) const;

    // Replaces the whole file with `records` through a temporary file and a rename.
    Status rewriteAll(const std::vector<Bytes>& records) const;

private:
    std::string m_path;
    std::size_t m_recordSize;
};

// A list file of `Record`s: a type with its size (kSize), encode() to bytes and a static
// decode() from them, as Timed.dat, Tasks.dat and Favorite.dat have.
template <class Record>
class RecordList {
public:
    explicit RecordList(std::string path) : m_file(std::move(path), Record::kSize) {}

    const RecordFile& file() const { return m_file; }

    // Every whole record, decoded; none when the file does not exist.
    Result<std::vector<Record>> readAll() const {
        auto records = m_file.readAll();
        if (!records) return records.error();
        std::vector<Record> decoded;
        decoded.reserve(records->size());
        for (const Bytes& record : *records)
            decoded.push_back(Record::decode(record));
        return decoded;
    }

    // Replaces the whole file with `records`, in order, through a temporary file.
    Status rewriteAll(const std::vector<Record>& records) const {
        std::vector<Bytes> encoded;
        encoded.reserve(records.size());
        for (const Record& record : records)
            encoded.push_back(record.encode());
        return m_file.rewriteAll(encoded);
    }

    // Finds the first record for which `matches(decoded)` holds, lets `change` edit its bytes
    // and writes it back in place. False when no record matched (nothing is written).
    template <class Matches, class Change>
    Result<bool> changeFirst(Matches matches, Change change) const {
        auto records = m_file.readAll();
        if (!records) return records.error();
        for (std::size_t i = 0; i < records->size(); ++i) {
            Bytes& record = (*records)[i];
            if (!matches(Record::decode(record))) continue;
            change(record);
            if (Status written = m_file.write(i + 1, record); !written) return written.error();
            return true;
        }
        return false;
    }

private:
    RecordFile m_file;
};

}  // namespace corvane
