#pragma once

#include "common/date_text.h"

namespace corvane {

// The source of "now" for everything that stamps or schedules; tests pass a ManualClock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
};

class SystemClock final : public Clock {
public:
    TimePoint now() const override { return std::chrono::system_clock::now(); }
};

class ManualClock final : public Clock {
public:
    explicit ManualClock(TimePoint start) : m_now(start) {}
    TimePoint now() const override { return m_now; }
    void set(TimePoint moment) { m_now = moment; }
    void advance(std::chrono::seconds by) { m_now += by; }

private:
    TimePoint m_now;
};

}  // namespace corvane
