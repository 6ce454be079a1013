#pragma once
// `ssdtool decode FILE [-output text|json|xml]`: prints the decoded tree of one file of a
// debug-logs package, chosen by the file's name.
#include <ostream>
#include <string>
#include <vector>

namespace host {

// arguments: everything after the verb "decode". Returns the exit status: 0 decoded (a file
// longer than its structure is decoded to the structure's size, with a note on err), 1 a
// name without a decoder or with a number too wide for its field, a file too short, missing
// or not a regular file (a FIFO or device is refused without being read), 2 a bad command line.
int runDecode(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace host
