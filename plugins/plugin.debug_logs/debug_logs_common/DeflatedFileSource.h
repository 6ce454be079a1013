#pragma once
// A file as an archive member that is deflated before libzip sees it, a large one in blocks by
// several threads: libzip is handed the finished deflate stream with its CRC-32 and size, and
// writes it as a standard deflated entry (ZIP64 when large) without compressing it again.
#include <cstdint>

#include <zip.h>

#include <boost/filesystem/path.hpp>

namespace plugin::cli::debug_logs {

class DeflateStream;

// Files from this size up are deflated in parallel; smaller ones on the packing thread.
constexpr std::uintmax_t parallelDeflateFromBytes = std::uintmax_t{4} << 20;

// A libzip source for the file, deflated at the level (6, the zip tools' default, for a package)
// by threads workers (1: on the calling thread alone) while libzip reads it. The workers exist only
// while libzip has the source open. stream: the thread's deflate stream that libzip reads on, which
// must outlive the source's reading; none makes one for each reading. Null when the source
// cannot be made (error says why).
zip_source_t* deflatedFileSource(const boost::filesystem::path& path, unsigned threads, zip_error_t& error,
                                 int level = 6, DeflateStream* stream = nullptr);

}  // namespace plugin::cli::debug_logs
