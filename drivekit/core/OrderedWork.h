#pragma once
// Jobs done side by side by a few worker threads and taken back in the order they were given:
// for work whose pieces are independent but whose results must stay in order (the blocks of a
// deflate stream, batches of decoded events). The caller holds at most mostInFlight() jobs.
// The workers live only inside an object of this class and are joined when it is destroyed,
// whatever happened; each does nothing but its jobs. With no workers, a job is done on the
// thread that gives it.
#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace drivekit::core {

template <typename Job>
class OrderedWork {
public:
    // What one thread does to a job. Each thread has its own, made by the maker before the
    // threads start, so that it can keep state (a stream, a sink) from one job to the next.
    using Worker = std::function<void(Job&)>;
    using WorkerMaker = std::function<Worker()>;

    // threads: 1 does every job on the calling thread; more starts that many workers (fewer
    // when the system refuses more).
    OrderedWork(unsigned threads, const WorkerMaker& makeWorker) {
        for (unsigned n = 0; threads > 1 && n < threads; ++n) {
            Worker worker = makeWorker();
            try {
                threads_.emplace_back([this, worker = std::move(worker)] { work(worker); });
            } catch (const std::system_error&) {
                break;  // works with the threads it has, or on the calling thread alone
            }
        }
        if (threads_.empty()) {
            own_ = makeWorker();
        }
    }

    ~OrderedWork() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ending_ = true;
        }
        workWaiting_.notify_all();
        for (std::thread& thread : threads_) {
            thread.join();
        }
    }

    OrderedWork(const OrderedWork&) = delete;
    OrderedWork& operator=(const OrderedWork&) = delete;

    // Enough jobs ahead to keep every worker busy while the oldest is taken.
    std::size_t mostInFlight() const { return threads_.empty() ? 1 : 2 * threads_.size() + 1; }
    std::size_t inFlight() const { return slots_.size(); }
    std::size_t workers() const { return threads_.size(); }

    // Gives a job; with mostInFlight() held, the caller takes the oldest first.
    void give(std::unique_ptr<Job> job) {
        Slot& slot = slots_.emplace_back();
        slot.job = std::move(job);
        if (threads_.empty()) {
            run(own_, slot);
            slot.done = true;
            return;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            queue_.push_back(&slot);
        }
        workWaiting_.notify_one();
    }

    // The oldest job given, once it is done; what its work threw is thrown here.
    std::unique_ptr<Job> takeOldest() {
        Slot& oldest = slots_.front();
        if (!threads_.empty()) {
            std::unique_lock<std::mutex> lock(mutex_);
            jobDone_.wait(lock, [&oldest] { return oldest.done; });
        }
        std::unique_ptr<Job> job = std::move(oldest.job);
        const std::exception_ptr error = oldest.error;
        slots_.pop_front();
        if (error) {
            std::rethrow_exception(error);
        }
        return job;
    }

    // The threads to use: the environment variable when it holds a number from 1 up, else the
    // machine's cores; never more than the cores.
    static unsigned threadsToUse(const char* variable) {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        const char* text = std::getenv(variable);
        if (text == nullptr || *text == '\0' || std::strspn(text, "0123456789") != std::strlen(text) ||
            std::strlen(text) > 6) {
            return cores;
        }
        const auto asked = static_cast<unsigned>(std::atoi(text));
        return asked == 0 ? cores : std::min(asked, cores);
    }

private:
    struct Slot {
        std::unique_ptr<Job> job;
        std::exception_ptr error;
        bool done = false;  // set under the lock when there are workers
    };

    static void run(const Worker& worker, Slot& slot) {
        try {
            worker(*slot.job);
        } catch (...) {
            slot.error = std::current_exception();
        }
    }

    void work(const Worker& worker) {
        for (;;) {
            Slot* slot = nullptr;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                workWaiting_.wait(lock, [this] { return ending_ || !queue_.empty(); });
                if (ending_) {
                    return;
                }
                slot = queue_.front();
                queue_.pop_front();
            }
            run(worker, *slot);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                slot->done = true;
            }
            jobDone_.notify_all();
        }
    }

    std::deque<Slot> slots_;  // in the order given; only the calling thread adds or removes
    Worker own_;              // the calling thread's, when there are no workers

    std::mutex mutex_;
    std::condition_variable workWaiting_;  // workers: a job to do, or time to end
    std::condition_variable jobDone_;      // the calling thread: a job is done
    std::deque<Slot*> queue_;              // jobs no worker has taken yet
    bool ending_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace drivekit::core
