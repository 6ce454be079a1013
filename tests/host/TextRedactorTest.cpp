// What the redactor takes out of a computer's report, what it must leave (times, versions,
// PCI addresses, file names) and that a value keeps one placeholder across texts.
#include <gtest/gtest.h>

#include "host/redact/TextRedactor.h"

namespace {

TEST(TextRedactorTest, ReplacesWhatNamesTheComputerAndLeavesLookalikes) {
    // Rows of a real report that name nothing private, and addresses' lookalikes.
    const std::string publicRows =
        "HOME_URL=\"https://www.debian.org/\"\nBUG_REPORT_URL=\"https://bugs.debian.org/\"\n"
        "Command line: random.trust_cpu=1 nvproxy.enable=1 page_reporting.page_reporting_order=11\n"
        "WARNING: See https://kernel.org/doc/html/latest/admin-guide/hw-vuln/srso.html for mitigation options.\n"
        "pvm-pv: FS base via WRFSBASE (host CR4.FSGSBASE set)\n    0.0.0.0:2024\n"
        "Copyright 2005-2007 Rodolfo Giometti <giometti@linux.it>\n:1:2:3:4:5:6:7:8 abc:10.0.0.1 1:2:3:4:5:6:7:8:9\n";
    const std::vector<std::pair<std::string, std::string>> cases{
        {"Linux myhost 6.1.0-13-amd64 #1 SMP x86_64 GNU/Linux\nUSER=alice\nHOME=/home/alice\nPWD=/home/alice/x\n"
         "1 alice 300 bash\n",
         "Linux <host-1> 6.1.0-13-amd64 #1 SMP x86_64 GNU/Linux\nUSER=<user-1>\nHOME=<home-1>\nPWD=<home-1>/x\n"
         "1 <user-1> 300 bash\n"},
        {"inet 192.168.10.5/24 brd 192.168.10.255 ether 52:54:00:12:34:56 inet6 fe80::5054:ff:fe12:3456/64 ::1 "
         "2001:db8:0:0:0:0:2:1 ::ffff:10.0.0.1 AA-BB-CC-DD-EE-0F\ninet addr:10.0.0.5 Mask:255.255.255.0 "
         "listen 10.0.0.7:8080 on fe80::1: 1:2:3:4:5:6:7:8:\n",
         "inet <ipv4-1>/24 brd <ipv4-2> ether <mac-1> inet6 <ipv6-1>/64 ::1 <ipv6-2> <ipv6-3> <mac-2>\n"
         "inet addr:<ipv4-3> Mask:255.255.255.0 listen <ipv4-4>:8080 on <ipv6-4>: <ipv6-5>:\n"},
        // The network's names are private, and so is what lies under them; public names are kept.
        {"search corp-x.example.org\n10.1.1.1 nas.lab.example.net nas # the NAS\n"
         "build.corp-x.example.org, www.lab.example.net, nas, printer.local. mail.example.com "
         "C:\\Users\\bob\\Desktop",
         "search <domain-1>\n<ipv4-1> <domain-2> <host-1> # the NAS\n"
         "<domain-3>, <domain-4>, <host-1>, <domain-5>. mail.example.com <home-1>\\Desktop"},
        // Users that only the process list names; the services' accounts name no one.
        {"  PID USER  RSS COMMAND\n    7 dave 4 bash\n    8 systemd+ 3 x\n    9 messagebus 1 dbus-daemon\n\ndave 2\n",
         "  PID USER  RSS COMMAND\n    7 <user-1> 4 bash\n    8 systemd+ 3 x\n    9 messagebus 1 dbus-daemon\n\n"
         "<user-1> 2\n"},
        {publicRows, publicRows},
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
