#include "archive/deflate_engine.h"

#include "archive/deflate_scan.h"

#include <isa-l/igzip_lib.h>
#include <libdeflate.h>

#include <algorithm>
#include <array>
#include <stdexcept>

namespace corvane::archive {

namespace {

// Level 1: ISA-L 2 (smaller and faster than ISA-L 1 here); 2-3: ISA-L 3; 4-6: libdeflate 5,
// at a fifth of zip -6's time on two cores, and smaller than zip -6 on binaries. Text is where
// zlib's lazier matching wins (libdeflate 5 leaves C source 2% larger than zip -6), and where
// libdeflate 6's deeper search pays most (0.9% smaller against 0.5% on binaries, for 16% more
// time), so level 6 gives text libdeflate 6. 7: libdeflate 6; 8: libdeflate 9; 9: libdeflate
// 10, the first level under 7-Zip's deflate at -mx=5 in size.
constexpr std::array<EngineChoice, 10> kLevels = {{
    {EngineKind::Store, 0},
    {EngineKind::Isal, 2},
    {EngineKind::Isal, 3},
    {EngineKind::Isal, 3},
    {EngineKind::Libdeflate, 5},
    {EngineKind::Libdeflate, 5},
    {EngineKind::Libdeflate, 5, 6},
    {EngineKind::Libdeflate, 6},
    {EngineKind::Libdeflate, 9},
    {EngineKind::Libdeflate, 10},
}};

constexpr std::size_t kStoredBlockMax = 0xFFFF;
constexpr std::size_t kStoredBlockHeader = 1 + 2 + 2;  // header byte, LEN, NLEN
constexpr std::size_t kProbeSample = 8 * 1024;
constexpr std::size_t kProbeSamples = 4;
// Samples that a real deflate (dynamic Huffman codes, as every level uses) cannot shrink by 2%
// mark data as incompressible. ISA-L's level 0 was tried first: its fixed code tables leave
// text of a small alphabet (base64: 6 bits a byte) at full size.
constexpr std::size_t kProbePercent = 98;
constexpr int kProbeLevel = 1;
// Text is judged by the control characters zlib's data-type check counts as binary (all but
// tab, line and page breaks, and escape) in the first 8 KiB: under one in sixteen is text.
constexpr std::size_t kTextSample = 8 * 1024;
constexpr std::size_t kTextMaxControlShare = 16;

std::size_t isalLevelBufferSize(int level) {
    switch (level) {
        case 1:
            return ISAL_DEF_LVL1_DEFAULT;
        case 2:
            return ISAL_DEF_LVL2_DEFAULT;
        case 3:
            return ISAL_DEF_LVL3_DEFAULT;
        default:
            return 0;
    }
}

std::uint32_t length32(std::size_t size) {
    return static_cast<std::uint32_t>(size);
}

std::uint8_t* mutableBytes(std::span<const std::uint8_t> bytes) {
    // ISA-L's structures take non-const pointers but never write through next_in or a dict.
    return const_cast<std::uint8_t*>(bytes.data());
}

}  // namespace

bool looksLikeText(std::span<const std::uint8_t> input) {
    const auto sample = input.first(std::min(input.size(), kTextSample));
    std::size_t controls = 0;
    for (const std::uint8_t byte : sample) {
        const bool textControl = (byte >= 7 && byte <= 13) || byte == 27;
        controls += byte < 32 && !textControl ? 1 : 0;
    }
    return controls * kTextMaxControlShare < sample.size();
}

EngineChoice engineForLevel(int level) {
    return kLevels[static_cast<std::size_t>(std::clamp(level, 0, 9))];
}

Compressor::Compressor(int level) : m_choice(engineForLevel(level)) {}

// The engines' state is large (libdeflate's match finders, ISA-L's hash tables): allocated on
// first use, so that a worker that only stores never pays for it.
void Compressor::prepare() {
    if (m_isal) return;
    if (m_choice.kind == EngineKind::Libdeflate) {
        m_libdeflate = libdeflate_alloc_compressor(m_choice.engineLevel);
        if (m_libdeflate == nullptr) throw std::bad_alloc();
    }
    const int bufferLevel = m_choice.kind == EngineKind::Isal ? m_choice.engineLevel : 0;
    m_levelBuffer.resize(std::max<std::size_t>(isalLevelBufferSize(bufferLevel), 1));
    m_isal = std::make_unique<isal_zstream>();
}

libdeflate_compressor* Compressor::libdeflateFor(std::span<const std::uint8_t> input) {
    if (m_choice.textLevel == 0 || !looksLikeText(input)) return m_libdeflate;
    if (m_libdeflateText == nullptr) {
        m_libdeflateText = libdeflate_alloc_compressor(m_choice.textLevel);
        if (m_libdeflateText == nullptr) throw std::bad_alloc();
    }
    return m_libdeflateText;
}

Compressor::~Compressor() {
    if (m_libdeflate != nullptr) libdeflate_free_compressor(m_libdeflate);
    if (m_libdeflateText != nullptr) libdeflate_free_compressor(m_libdeflateText);
    if (m_probe != nullptr) libdeflate_free_compressor(m_probe);
}

std::span<const std::uint8_t> Compressor::compressWhole(std::span<const std::uint8_t> input) {
    if (m_choice.kind == EngineKind::Store || input.empty()) return {};
    prepare();
    // Room for one byte less than the input: the engines give up as soon as they cannot win.
    m_out.resize(input.size());
    if (m_choice.kind == EngineKind::Isal) return isalWhole(input);
    const std::size_t size = libdeflate_deflate_compress(libdeflateFor(input), input.data(),
                                                         input.size(), m_out.data(),
                                                         input.size() - 1);
    return std::span<const std::uint8_t>(m_out.data(), size);
}

std::span<const std::uint8_t> Compressor::isalWhole(std::span<const std::uint8_t> input) {
    isal_zstream* stream = m_isal.get();
    isal_deflate_stateless_init(stream);
    stream->level = static_cast<std::uint32_t>(m_choice.engineLevel);
    stream->level_buf = m_levelBuffer.data();
    stream->level_buf_size = length32(m_levelBuffer.size());
    stream->next_in = mutableBytes(input);
    stream->avail_in = length32(input.size());
    stream->next_out = m_out.data();
    stream->avail_out = length32(input.size() - 1);
    stream->end_of_stream = 1;
    if (isal_deflate_stateless(stream) != COMP_OK) return {};
    return std::span<const std::uint8_t>(m_out.data(), stream->total_out);
}

void Compressor::compressPiece(std::span<const std::uint8_t> history,
                               std::span<const std::uint8_t> input, bool last, ByteBuffer& out) {
    out.clear();
    if (m_choice.kind == EngineKind::Store || looksIncompressible(input)) {
        appendStoredBlocks(input, last, out);
        return;
    }
    prepare();
    if (m_choice.kind == EngineKind::Isal) {
        isalPiece(history, input, last, out);
    } else {
        libdeflate_compressor* compressor = libdeflateFor(input);
        out.resize(libdeflate_deflate_compress_bound(compressor, input.size()));
        out.resize(libdeflate_deflate_compress(compressor, input.data(), input.size(), out.data(),
                                               out.size()));
        if (out.empty() || (!last && !makeJoinable(out))) out.clear();
    }
    const std::size_t storedSize =
        input.size() + kStoredBlockHeader * (input.size() / kStoredBlockMax + 1);
    if (out.empty() || out.size() >= storedSize) {
        out.clear();
        appendStoredBlocks(input, last, out);
    }
}

void Compressor::isalPiece(std::span<const std::uint8_t> history,
                           std::span<const std::uint8_t> input, bool last, ByteBuffer& out) {
    isal_zstream* stream = m_isal.get();
    isal_deflate_init(stream);
    stream->level = static_cast<std::uint32_t>(m_choice.engineLevel);
    stream->level_buf = m_levelBuffer.data();
    stream->level_buf_size = length32(m_levelBuffer.size());
    if (!history.empty()) {
        const auto recent = history.last(std::min(history.size(), kHistorySize));
        if (isal_deflate_set_dict(stream, mutableBytes(recent), length32(recent.size())) !=
            COMP_OK) {
            out.clear();
            return;
        }
    }
    stream->next_in = mutableBytes(input);
    stream->avail_in = length32(input.size());
    stream->end_of_stream = last ? 1 : 0;
    stream->flush = last ? NO_FLUSH : SYNC_FLUSH;
    out.resize(input.size() + input.size() / 16 + 1024);
    std::size_t produced = 0;
    for (;;) {
        stream->next_out = out.data() + produced;
        stream->avail_out = length32(out.size() - produced);
        if (isal_deflate(stream) != COMP_OK) {
            out.clear();
            return;
        }
        produced = out.size() - stream->avail_out;
        const bool done =
            last ? stream->internal_state.state == ZSTATE_END
                 : stream->avail_in == 0 && stream->internal_state.state == ZSTATE_NEW_HDR;
        if (done) break;
        if (stream->avail_out == 0) out.resize(out.size() * 2);
    }
    out.resize(produced);
}

bool Compressor::looksIncompressible(std::span<const std::uint8_t> input) {
    if (input.size() < kProbeSample * kProbeSamples) return false;
    if (m_probe == nullptr) {
        m_probe = libdeflate_alloc_compressor(kProbeLevel);
        if (m_probe == nullptr) throw std::bad_alloc();
    }
    std::size_t sampled = 0;
    std::size_t packed = 0;
    m_probeOut.resize(libdeflate_deflate_compress_bound(m_probe, kProbeSample));
    const std::size_t stride = (input.size() - kProbeSample) / (kProbeSamples - 1);
    for (std::size_t sample = 0; sample < kProbeSamples; ++sample) {
        const auto piece = input.subspan(sample * stride, kProbeSample);
        const std::size_t size = libdeflate_deflate_compress(m_probe, piece.data(), piece.size(),
                                                             m_probeOut.data(), m_probeOut.size());
        sampled += piece.size();
        packed += size == 0 ? piece.size() : size;
    }
    return packed * 100 >= sampled * kProbePercent;
}

void appendStoredBlocks(std::span<const std::uint8_t> input, bool last, ByteBuffer& out) {
    std::size_t at = 0;
    do {
        const std::size_t length = std::min(kStoredBlockMax, input.size() - at);
        const bool final = last && at + length == input.size();
        out.push_back(final ? 1 : 0);  // BFINAL, BTYPE 00, then padding to the byte
        out.push_back(static_cast<std::uint8_t>(length));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length));
        out.push_back(static_cast<std::uint8_t>(~length >> 8));
        out.insert(out.end(), input.begin() + static_cast<std::ptrdiff_t>(at),
                   input.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < input.size());
}

}  // namespace corvane::archive
