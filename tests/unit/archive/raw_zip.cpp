#include "raw_zip.h"

#include "archive/crc32.h"
#include "archive/zip_header.h"

#include <isa-l/igzip_lib.h>

#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

namespace corvane::archive::test {

namespace {

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string textOf(const Bytes& bytes) {
    return {bytes.begin(), bytes.end()};
}

// Compresses `chunks` pieces of `chunk` into one stream.
std::string deflateRepeated(std::string_view chunk, std::uint64_t chunks) {
    auto stream = std::make_unique<isal_zstream>();
    std::vector<std::uint8_t> levelBuffer(ISAL_DEF_LVL1_DEFAULT);
    std::vector<std::uint8_t> out(1 << 20);
    isal_deflate_init(stream.get());
    stream->level = 1;
    stream->level_buf = levelBuffer.data();
    stream->level_buf_size = static_cast<std::uint32_t>(levelBuffer.size());
    std::string result;
    for (std::uint64_t at = 0; at < chunks; ++at) {
        stream->next_in = const_cast<std::uint8_t*>(bytesOf(chunk).data());
        stream->avail_in = static_cast<std::uint32_t>(chunk.size());
        stream->end_of_stream = at + 1 >= chunks ? 1 : 0;
        do {
            stream->next_out = out.data();
            stream->avail_out = static_cast<std::uint32_t>(out.size());
            if (isal_deflate(stream.get()) != COMP_OK) throw std::runtime_error("isal_deflate");
            result.append(out.begin(), out.end() - stream->avail_out);
        } while (stream->avail_in > 0 ||
                 (stream->end_of_stream && stream->internal_state.state != ZSTATE_END));
    }
    return result;
}

}  // namespace

std::string RawZip::encodeCentral(const ZipItem& item) {
    return textOf(encodeCentralHeader(item));
}

std::uint64_t RawZip::add(ZipItem item, std::string_view data) {
    item.localOffset = m_bytes.size();
    item.compressedSize = data.size();
    m_bytes += textOf(encodeLocalHeader(item, false, false));
    m_bytes += data;
    addCentral(item);
    return item.localOffset;
}

std::string RawZip::finish() const {
    EndInfo end;
    end.entriesOnDisk = end.entriesTotal = m_count;
    end.centralOffset = m_bytes.size();
    end.centralSize = m_central.size();
    return m_bytes + m_central + textOf(encodeEndBlock(end, m_bytes.size() + m_central.size()));
}

ZipItem unixItem(std::string name, std::string_view content, std::uint32_t mode) {
    ZipItem item;
    item.name = std::move(name);
    item.crc = crc32Update(0, bytesOf(content));
    item.uncompressedSize = item.compressedSize = content.size();
    item.externalAttributes = mode << 16;
    item.dosTime = toDosTime(1'700'000'000);
    item.unixMtime = 1'700'000'000;
    return item;
}

std::string deflateData(std::string_view content) {
    return deflateRepeated(content, 1);
}

std::string deflateZeros(std::uint64_t size) {
    constexpr std::uint64_t kChunk = 1 << 20;
    const std::string zeros(kChunk, '\0');
    std::string stream = deflateRepeated(zeros, size / kChunk);
    if (size % kChunk != 0) throw std::invalid_argument("deflateZeros takes whole MiB");
    return stream;
}

}  // namespace corvane::archive::test
