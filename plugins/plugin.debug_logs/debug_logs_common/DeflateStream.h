#pragma once
// A raw deflate stream that is made once and reset for every piece it compresses: making one
// allocates and clears about 256 KiB of tables, which costs more than deflating a small file.
// One object belongs to one thread at a time.
#include <cstdint>
#include <string>
#include <vector>

#include <zlib.h>

namespace plugin::cli::debug_logs {

class DeflateStream {
public:
    explicit DeflateStream(int level);
    ~DeflateStream();
    DeflateStream(const DeflateStream&) = delete;
    DeflateStream& operator=(const DeflateStream&) = delete;

    int level() const { return level_; }

    // Deflates input on its own, primed with dictionary (the bytes before it, may be empty) and
    // ended with the final block when last, else with a sync flush so that the next piece starts
    // on a byte boundary. false with problem set when zlib fails.
    bool compress(const std::vector<unsigned char>& dictionary, const std::vector<unsigned char>& input, bool last,
                  std::vector<unsigned char>& output, std::string& problem);

private:
    int level_;
    bool ready_ = false;  // made; reset before each use
    z_stream stream_{};
};

}  // namespace plugin::cli::debug_logs
