#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

struct inflate_state;

namespace corvane::archive {

// Streaming raw-deflate decoder (ISA-L) with a fixed output window, so that testing an entry
// of any size uses bounded memory.
class Inflater {
public:
    enum class Outcome { NeedInput, Finished, Failed, Stopped };
    using Sink = std::function<void(std::span<const std::uint8_t>)>;
    // Takes each decoded block; false stops decoding at once (Outcome::Stopped).
    using StoppingSink = std::function<bool(std::span<const std::uint8_t>)>;

    Inflater();
    ~Inflater();
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Starts a new stream.
    void reset();
    // Decodes `input`, handing every decoded block to `sink`. Finished means the final block
    // ended; `leftover` then says how many input bytes followed it.
    Outcome feed(std::span<const std::uint8_t> input, const Sink& sink, std::size_t& leftover);
    // The same with a sink that can stop decoding part way.
    Outcome feedUntil(std::span<const std::uint8_t> input, const StoppingSink& sink,
                      std::size_t& leftover);

private:
    std::unique_ptr<inflate_state> m_state;
    std::vector<std::uint8_t> m_window;
};

}  // namespace corvane::archive
