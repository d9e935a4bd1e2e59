#pragma once

#include "common/result.h"
#include "offsite/offsite_settings.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace corvane::offsite {

// Told the bytes sent so far and the bytes to send in all; called often during a transfer, on
// the calling thread, so a window may process its events (and set the cancel flag) there.
using ProgressCallback = std::function<void(std::uint64_t done, std::uint64_t total)>;

// What a running off-site operation shares with its transfers: progress, the cancel flag and
// the retry policy.
class TransferControl {
public:
    TransferControl(ProgressCallback progress, const std::atomic<bool>* cancel, RetryPolicy retry)
        : m_progress(std::move(progress)), m_cancel(cancel), m_retry(retry) {}

    bool cancelled() const { return m_cancel != nullptr && m_cancel->load(); }

    void setTotal(std::uint64_t total) { m_total = total; }
    // Starts a new object: `doneBefore` bytes of the whole operation are already sent.
    void beginObject(std::uint64_t doneBefore) { m_base = doneBefore; }
    // Reports `sent` bytes of the current object; false when the operation is to stop.
    bool report(std::uint64_t sent);

    // Runs `attempt` until it succeeds, fails for good, or the policy's attempts are spent,
    // waiting longer after each network failure. The last error names how many attempts ran.
    Status retried(const std::function<Status()>& attempt);

private:
    // Waits `delay`, reporting progress meanwhile; false when cancelled.
    bool pause(std::chrono::milliseconds delay);

    ProgressCallback m_progress;
    const std::atomic<bool>* m_cancel;
    RetryPolicy m_retry;
    std::uint64_t m_total = 0;
    std::uint64_t m_base = 0;
    std::uint64_t m_lastSent = 0;
};

}  // namespace corvane::offsite
