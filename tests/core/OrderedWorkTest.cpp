#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "drivekit/core/OrderedWork.h"

using drivekit::core::OrderedWork;

namespace {

struct Job {
    int number = 0;
    std::string result;
};

// Jobs come back in the order given however the threads finish them, each worker keeps its
// own state, at most mostInFlight() are held, and what a job throws reaches the caller in its
// place while the others still come back.
TEST(OrderedWork, JobsComeBackInOrderWithWhatTheyThrew) {
    for (const unsigned threads : {1U, 3U}) {
        std::atomic<int> workersMade{0};
        OrderedWork<Job> work(threads, [&workersMade] {
            auto done = std::make_shared<int>(0);  // this worker's own count
            ++workersMade;
            return [done](Job& job) {
                if (job.number == 13) {
                    throw std::runtime_error("job 13 failed");
                }
                std::this_thread::sleep_for(std::chrono::microseconds((job.number % 4) * 200));
                job.result = std::to_string(job.number) + "/" + std::to_string(++*done);
            };
        });
        EXPECT_EQ(work.workers(), threads > 1 ? threads : 0U);
        EXPECT_EQ(workersMade.load(), static_cast<int>(threads));
        std::vector<int> order;
        std::string failure;
        const auto takeOne = [&] {
            try {
                const auto job = work.takeOldest();
                order.push_back(job->number);
                EXPECT_EQ(job->result.rfind(std::to_string(job->number) + "/", 0), 0U) << job->result;
            } catch (const std::runtime_error& error) {
                order.push_back(-1);
                failure = error.what();
            }
        };
        for (int number = 0; number < 40; ++number) {
            while (work.inFlight() >= work.mostInFlight()) {
                takeOne();
            }
            auto job = std::make_unique<Job>();
            job->number = number;
            work.give(std::move(job));
            EXPECT_LE(work.inFlight(), work.mostInFlight());
        }
        while (work.inFlight() > 0) {
            takeOne();
        }
        ASSERT_EQ(order.size(), 40U) << threads;
        for (int number = 0; number < 40; ++number) {
            EXPECT_EQ(order[number], number == 13 ? -1 : number) << threads;
        }
        EXPECT_EQ(failure, "job 13 failed");
    }
}

}  // namespace
