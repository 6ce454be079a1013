#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "drivekit/core/Status.h"
#include "host/ExceptionReport.h"

namespace {

using host::ExceptionReport;

template <typename Thrown>
std::string reported(const Thrown& thrown, int& status) {
    std::ostringstream err;
    try {
        throw thrown;
    } catch (...) {
        status = ExceptionReport::report(std::current_exception(), err);
    }
    return err.str();
}

TEST(ExceptionReportTest, AnythingThrownBecomesOneErrorLineAndExitStatusThree) {
    int status = 0;
    EXPECT_EQ("ssdtool: error: disk on fire\n", reported(std::runtime_error("disk on fire"), status));
    EXPECT_EQ(3, status);
    EXPECT_EQ("ssdtool: error: Request is out of bounds.\n",
              reported(drivekit::core::Status(0, 14, "Request is out of bounds."), status));
    EXPECT_EQ("ssdtool: error: unknown exception\n", reported(42, status));
    EXPECT_EQ("ssdtool: error: first second\n", reported(std::logic_error("first\nsecond"), status));
}

}  // namespace
