#pragma once
// `ssdtool decode FILE|PACKAGE [-output text|json|xml] [-family NAME]`: prints the decoded tree
// of one file of a debug-logs package, chosen by the file's name, or of every file of a
// package (a ZIP archive or an unpacked folder).
#include <ostream>
#include <string>
#include <vector>

#include "host/decode/PackageReader.h"

namespace host {

// arguments: everything after the verb "decode". Returns the exit status.
// One file: 0 decoded (a file longer than its structure is decoded to the structure's size,
// with a note on err), 1 a name without a decoder or with a number too wide for its field, a
// file too short or cut short (what it holds is still printed), missing or not a regular
// file (a FIFO or device is refused without being read), or a text file.
// A package: as decodePackage. Both: 2 a bad command line.
int runDecode(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
              const PackageLimits& limits = PackageLimits());

}  // namespace host
