// The second thread: it sleeps on a condition until work is handed over.
#include "host/TwoThreads.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace orvex {
namespace {

class CSecondThread {
  public:
    CSecondThread() : m_thread([this] { Run(); }) {}
    ~CSecondThread() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }
    void Start(const std::function<void()>& work) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_work = &work;
            m_error = nullptr;
            m_busy = true;
        }
        m_wake.notify_one();
    }
    // Waits for the work handed over; its exception, if any.
    std::exception_ptr Wait() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_done.wait(lock, [this] { return !m_busy; });
        return m_error;
    }

  private:
    void Run() {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (true) {
            m_wake.wait(lock, [this] { return m_stop || m_busy; });
            if (m_stop) return;
            const std::function<void()>& work = *m_work;
            lock.unlock();
            std::exception_ptr error;
            try {
                work();
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            m_error = error;
            m_busy = false;
            m_done.notify_one();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    const std::function<void()>* m_work = nullptr;
    std::exception_ptr m_error;
    bool m_busy = false, m_stop = false;
    std::thread m_thread;
};

}  // namespace

bool TwoThreadsAvailable() {
    static const bool two = std::thread::hardware_concurrency() >= 2;
    return two;
}

void RunOnTwoThreads(const std::function<void()>& mine, const std::function<void()>& theirs) {
    if (!TwoThreadsAvailable()) {
        mine();
        theirs();
        return;
    }
    // One caller at a time shares the second thread; another caller's work runs here.
    static std::mutex sharing;
    std::unique_lock<std::mutex> turn(sharing, std::try_to_lock);
    if (!turn.owns_lock()) {
        mine();
        theirs();
        return;
    }
    static CSecondThread second;
    second.Start(theirs);
    std::exception_ptr mineError;
    try {
        mine();
    } catch (...) {
        mineError = std::current_exception();
    }
    const std::exception_ptr theirsError = second.Wait();
    if (mineError) std::rethrow_exception(mineError);
    if (theirsError) std::rethrow_exception(theirsError);
}

}  // namespace orvex
