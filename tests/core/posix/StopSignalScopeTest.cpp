#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <csignal>

#include "drivekit/core/StopRequest.h"
#include "drivekit/core/StopSignalScope.h"

using drivekit::core::StopRequest;
using drivekit::core::StopSignalScope;

namespace {

constexpr std::array<int, 4> stopSignals = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
volatile std::sig_atomic_t caughtByPrevious = 0;

void previousHandler(int) { caughtByPrevious = caughtByPrevious + 1; }

}  // namespace

// The first signal is the one that counts; the handlers that were there before come back
// afterwards, and the request outlives the scope (the command's result is made after it).
TEST(StopSignalScope, FirstSignalRaisesTheRequestAndThePreviousHandlersComeBack) {
    for (const int signal : stopSignals) {
        std::signal(signal, previousHandler);
    }
    StopRequest::request(SIGHUP);  // left from an earlier run
    {
        const StopSignalScope scope;
        EXPECT_FALSE(StopRequest::requested());
        std::raise(SIGPIPE);
        std::raise(SIGINT);
        EXPECT_EQ(SIGPIPE, StopRequest::signalNumber());
        // The second signal only started the grace period; the scope's end calls it off.
        EXPECT_EQ(0, caughtByPrevious);
    }
    EXPECT_EQ(0u, ::alarm(0));
    EXPECT_EQ(SIGPIPE, StopRequest::signalNumber());
    for (const int signal : stopSignals) {
        std::raise(signal);
        std::signal(signal, SIG_DFL);
    }
    EXPECT_EQ(static_cast<int>(stopSignals.size()), caughtByPrevious);
    StopRequest::clear();
}

// A drive that does not answer while it is put back: a second signal gives it the grace
// period, then the process says its line and ends as the first signal asks.
TEST(StopSignalScopeDeathTest, ASecondSignalEndsTheProcessAfterTheGracePeriod) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            const StopSignalScope scope;
            StopSignalScope::setGiveUpLine("Interrupted: kept in /somewhere.\n");
            std::raise(SIGTERM);
            std::raise(SIGINT);
            for (;;) {
                ::pause();
            }
        },
        ::testing::ExitedWithCode(128 + SIGTERM), "Interrupted: kept in /somewhere\\.");
}
