#include "archive/inflate_stream.h"

#include <isa-l/igzip_lib.h>

namespace corvane::archive {

namespace {
constexpr std::size_t kWindowSize = 128 * 1024;
}  // namespace

Inflater::Inflater() : m_state(std::make_unique<inflate_state>()), m_window(kWindowSize) {
    reset();
}

Inflater::~Inflater() = default;

void Inflater::reset() {
    isal_inflate_init(m_state.get());
    m_state->crc_flag = ISAL_DEFLATE;
}

Inflater::Outcome Inflater::feed(std::span<const std::uint8_t> input, const Sink& sink,
                                 std::size_t& leftover) {
    return feedUntil(
        input,
        [&sink](std::span<const std::uint8_t> block) {
            sink(block);
            return true;
        },
        leftover);
}

Inflater::Outcome Inflater::feedUntil(std::span<const std::uint8_t> input, const StoppingSink& sink,
                                      std::size_t& leftover) {
    leftover = 0;
    // ISA-L reads through next_in only; its interface is not const-qualified.
    m_state->next_in = const_cast<std::uint8_t*>(input.data());
    m_state->avail_in = static_cast<std::uint32_t>(input.size());
    for (;;) {
        m_state->next_out = m_window.data();
        m_state->avail_out = static_cast<std::uint32_t>(m_window.size());
        const int result = isal_inflate(m_state.get());
        if (result < 0) return Outcome::Failed;
        const std::size_t produced = m_window.size() - m_state->avail_out;
        if (produced > 0 && !sink(std::span<const std::uint8_t>(m_window.data(), produced))) {
            return Outcome::Stopped;
        }
        if (m_state->block_state == ISAL_BLOCK_FINISH) {
            leftover = m_state->avail_in;
            return Outcome::Finished;
        }
        if (m_state->avail_in == 0 && produced == 0) return Outcome::NeedInput;
        if (m_state->avail_in == 0 && m_state->avail_out != 0) return Outcome::NeedInput;
    }
}

}  // namespace corvane::archive
