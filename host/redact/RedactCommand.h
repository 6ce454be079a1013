#pragma once
// `ssdtool redact PACKAGE [-output FILE]`: writes a copy of a debug-logs package whose text
// files name no host, domain, address, user or home folder, each replaced by a placeholder;
// the binary files are copied unchanged. The map from placeholder to value is written beside
// the package, never into the copy; the package itself is only read.
#include <ostream>
#include <string>
#include <vector>

#include "host/decode/PackageReader.h"

namespace host {

// arguments: everything after the verb "redact". Returns the exit status: 0 the copy and the
// map were written; 1 a file of the package cannot be read or the copy or map cannot be
// written (nothing is left behind); 2 a bad command line, a package that cannot be opened, or
// an output or map that exists already.
int runRedact(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
              const PackageLimits& limits = PackageLimits());

}  // namespace host
