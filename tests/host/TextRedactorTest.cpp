// What the redactor takes out of a computer's report, what it must leave (times, versions,
// PCI addresses, file names) and that a value keeps one placeholder across texts.
#include <gtest/gtest.h>

#include "host/redact/TextRedactor.h"

namespace {

TEST(TextRedactorTest, ReplacesWhatNamesTheComputerAndLeavesLookalikes) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"Linux myhost 6.1.0-13-amd64 #1 SMP x86_64 GNU/Linux\nUSER=alice\nHOME=/home/alice\nPWD=/home/alice/x\n"
         "1 alice 300 bash\n",
         "Linux <host-1> 6.1.0-13-amd64 #1 SMP x86_64 GNU/Linux\nUSER=<user-1>\nHOME=<home-1>\nPWD=<home-1>/x\n"
         "1 <user-1> 300 bash\n"},
        {"inet 192.168.10.5/24 brd 192.168.10.255 ether 52:54:00:12:34:56 inet6 fe80::5054:ff:fe12:3456/64 ::1 "
         "2001:db8:0:0:0:0:2:1 ::ffff:10.0.0.1 AA-BB-CC-DD-EE-0F",
         "inet <ipv4-1>/24 brd <ipv4-2> ether <mac-1> inet6 <ipv6-1>/64 <ipv6-2> <ipv6-3> <ipv6-4> <mac-2>"},
        {"mail.example.com, build.corp-x.example.org. C:\\Users\\bob\\Desktop",
         "<domain-1>, <domain-2>. <home-1>\\Desktop"},
        {"12:34:56 PM 0000:00:04.0 2.4.323 1.2.3.4.5 300.1.1.1 system_info.log nvme0n1 e.g. U.S. "
         "aa:bb:cc:dd:ee:ff:00 1:2:3:4:5:6:7 std::string HOSTNAME=<redacted> Linux version 6.1 /root",
         "12:34:56 PM 0000:00:04.0 2.4.323 1.2.3.4.5 300.1.1.1 system_info.log nvme0n1 e.g. U.S. "
         "aa:bb:cc:dd:ee:ff:00 1:2:3:4:5:6:7 std::string HOSTNAME=<redacted> Linux version 6.1 /root"},
    };
    for (const auto& [text, expected] : cases) {
        host::TextRedactor redactor;
        redactor.learn(text);
        EXPECT_EQ(expected, redactor.redact(text));
    }
}

TEST(TextRedactorTest, OneValueKeepsOnePlaceholderInEveryTextAndTheMapLeadsBack) {
    host::TextRedactor redactor;
    const std::string report = "Linux build-7 5.10\nUSER=carol\n";
    const std::string other = "saved to /home/carol/logs on build-7 (10.1.2.3)";
    redactor.learn(report);
    redactor.learn(other);
    EXPECT_EQ("Linux <host-1> 5.10\nUSER=<user-1>\n", redactor.redact(report));
    EXPECT_EQ("saved to <home-1>/logs on <host-1> (<ipv4-1>)", redactor.redact(other));
    const std::map<std::string, std::string> expected{
        {"<home-1>", "/home/carol"}, {"<host-1>", "build-7"}, {"<ipv4-1>", "10.1.2.3"}, {"<user-1>", "carol"}};
    EXPECT_EQ(expected, redactor.placeholders());
}

// Long runs of address-like characters are scanned in one pass, without recursion.
TEST(TextRedactorTest, LongRunsOfAddressCharactersAreLeftWhole) {
    for (const std::string unit : {"a.", "1:", "ab", "1.", "/home/"}) {
        std::string text;
        for (int i = 0; i < 200000; ++i) {
            text += unit;
        }
        host::TextRedactor redactor;
        redactor.learn(text);
        EXPECT_EQ(text.size(), redactor.redact(text).size()) << unit;
    }
}

}  // namespace
