#include "offsite/transfer_control.h"

#include "offsite/offsite_error.h"

#include <algorithm>
#include <thread>

namespace corvane::offsite {

namespace {

// How often a back-off wait looks at the cancel flag and reports progress.
constexpr std::chrono::milliseconds kPauseSlice{50};

}  // namespace

bool TransferControl::report(std::uint64_t sent) {
    m_lastSent = sent;
    if (m_progress) m_progress(std::min(m_base + sent, m_total), m_total);
    return !cancelled();
}

bool TransferControl::pause(std::chrono::milliseconds delay) {
    const auto end = std::chrono::steady_clock::now() + delay;
    while (!cancelled()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= end) return true;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kPauseSlice, end - now));
        if (m_progress) m_progress(std::min(m_base + m_lastSent, m_total), m_total);
    }
    return false;
}

Status TransferControl::retried(const std::function<Status()>& attempt) {
    auto delay = m_retry.firstDelay;
    std::string firstReason;
    for (int tried = 1;; ++tried) {
        if (cancelled()) return failure(Failure::Cancelled, "cancelled");
        Status status = attempt();
        if (status || !isRetryable(status.error())) return status;
        if (firstReason.empty()) firstReason = status.error().description;
        if (tried >= std::max(1, m_retry.attempts)) {
            std::string text = status.error().description;
            if (tried > 1) {
                text += " (" + std::to_string(tried) + " attempts";
                if (firstReason != status.error().description) text += "; first: " + firstReason;
                text += ")";
            }
            return Error{status.error().code, text};
        }
        if (!pause(delay)) return failure(Failure::Cancelled, "cancelled");
        delay *= 2;
    }
}

}  // namespace corvane::offsite
