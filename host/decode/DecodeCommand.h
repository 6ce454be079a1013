#pragma once
// `ssdtool decode FILE [-output text|json|xml]`: prints the decoded tree of one file of a
// debug-logs package, chosen by the file's name.
#include <ostream>
#include <string>
#include <vector>

namespace host {

// arguments: everything after the verb "decode". Returns the exit status
// (0 decoded, 1 unknown/truncated/unreadable file, 2 bad command line).
int runDecode(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace host
