#pragma once
// The persistent event log of a package decoded as a stream: read from the package in pieces
// and printed event by event, each event's tree freed before the next, so that a log of any
// length costs the memory of one event. The text is the same as that of the whole tree.
#include <cstddef>
#include <ostream>
#include <string>

#include "drivekit/features/nvme_get_log/decode/LogPageDecoder.h"
#include "host/decode/FileKinds.h"
#include "host/decode/PackageReader.h"

namespace host {

// Prints the section of entry index (shown: its printable path) and sets outcome (without a
// tree). False, with nothing printed, when the entry's log header is not whole: the whole-file
// decoder then says why.
bool streamEventLog(PackageReader& reader, std::size_t index,
                    const drivekit::features::nvme_get_log::decode::PageContext& page, const std::string& shown,
                    const std::string& output, bool first, std::ostream& out, FileDecode& outcome);

}  // namespace host
