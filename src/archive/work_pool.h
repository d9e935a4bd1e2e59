#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace corvane::archive {

// How many worker threads an operation uses: the machine's cores, at most four, so that
// memory stays bounded (each worker holds a couple of pieces).
unsigned workerCount();

// Worker threads, each with its own Context (compressors, buffers), running submitted work in
// submission order. The submitter waits for each piece of work it needs, so results are taken
// in order while later work runs ahead.
template <class Context>
class WorkerPool {
public:
    using Work = std::function<void(Context&)>;

    class Ticket {
    private:
        friend class WorkerPool;
        Work m_work;
        bool m_done = false;
        std::exception_ptr m_error;
    };
    using TicketPtr = std::shared_ptr<Ticket>;

    WorkerPool(unsigned threads, const std::function<std::unique_ptr<Context>()>& makeContext) {
        for (unsigned at = 0; at < threads; ++at) {
            m_threads.emplace_back([this, context = makeContext()]() mutable { run(*context); });
        }
    }
    ~WorkerPool() {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
            m_queue.clear();
        }
        m_wake.notify_all();
        for (auto& thread : m_threads)
            thread.join();
    }
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    TicketPtr submit(Work work) {
        auto ticket = std::make_shared<Ticket>();
        ticket->m_work = std::move(work);
        {
            std::lock_guard lock(m_mutex);
            m_queue.push_back(ticket);
        }
        m_wake.notify_one();
        return ticket;
    }

    // Waits until the work of `ticket` is done; rethrows what it threw.
    void wait(const TicketPtr& ticket) {
        std::unique_lock lock(m_mutex);
        m_finished.wait(lock, [&] { return ticket->m_done; });
        if (ticket->m_error) std::rethrow_exception(ticket->m_error);
    }
    // The same for at most `limit`; false when the work is still running.
    template <class Duration>
    bool waitFor(const TicketPtr& ticket, Duration limit) {
        std::unique_lock lock(m_mutex);
        if (!m_finished.wait_for(lock, limit, [&] { return ticket->m_done; })) return false;
        if (ticket->m_error) std::rethrow_exception(ticket->m_error);
        return true;
    }

private:
    void run(Context& context) {
        for (;;) {
            TicketPtr ticket;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [&] { return m_stopping || !m_queue.empty(); });
                if (m_stopping) return;
                ticket = std::move(m_queue.front());
                m_queue.pop_front();
            }
            std::exception_ptr error;
            try {
                ticket->m_work(context);
            } catch (...) {
                error = std::current_exception();
            }
            {
                std::lock_guard lock(m_mutex);
                ticket->m_work = nullptr;
                ticket->m_error = error;
                ticket->m_done = true;
            }
            m_finished.notify_all();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_finished;
    std::deque<TicketPtr> m_queue;
    std::vector<std::thread> m_threads;
    bool m_stopping = false;
};

}  // namespace corvane::archive
