#pragma once
// One raw deflate stream made of independent blocks compressed side by side: each block is primed
// with the 32 KiB before it and ended with a sync flush, so that the blocks joined in order are
// one standard stream, and their CRC-32 values join into the whole input's. The worker threads
// live only inside an object of this class: they are joined when it is destroyed, whatever
// happened, touch nothing but their blocks and zlib, and report nothing themselves.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "drivekit/core/OrderedWork.h"

namespace plugin::cli::debug_logs {

class DeflateStream;

class BlockDeflater {
public:
    // Fills the buffer with the input's next bytes: how many (fewer only at the end), 0 at the end,
    // or -1 with problem set when the input cannot be read.
    using Reader = std::function<std::int64_t(unsigned char* buffer, std::size_t size, std::string& problem)>;
    // Whether to give up: asked between blocks on the calling thread.
    using StopCheck = std::function<bool()>;

    static constexpr std::size_t defaultBlockBytes = std::size_t{1} << 20;

    // threads: 1 compresses on the calling thread alone; more starts that many workers, each with
    // a stream of its own. stream: the calling thread's, lent for this object's life and used when
    // it has the level; without it the object makes one when it needs one.
    BlockDeflater(Reader reader, unsigned threads, StopCheck stop, std::size_t blockBytes = defaultBlockBytes,
                  int level = 6, DeflateStream* stream = nullptr);
    ~BlockDeflater();
    BlockDeflater(const BlockDeflater&) = delete;
    BlockDeflater& operator=(const BlockDeflater&) = delete;

    // Copies the compressed stream's next bytes into the buffer: how many, 0 once the stream is
    // complete, -1 when it cannot be (problem() says why; every later call fails too).
    std::int64_t read(unsigned char* buffer, std::size_t size);

    // Once the stream is complete: the input's size and CRC-32.
    std::uint64_t inputBytes() const { return inputBytes_; }
    std::uint32_t crc() const { return crc_; }
    const std::string& problem() const { return problem_; }

    // One block of the stream, defined beside the code that compresses it.
    struct Block;

    // The threads to pack with: SSDTOOL_PACK_THREADS when it is a number from 1 up, else the
    // machine's cores; never more than the cores.
    static unsigned threadsToUse();

private:
    bool fillPipeline();
    bool nextOutput();
    bool fail(const std::string& problem);

    Reader reader_;
    StopCheck stop_;
    std::size_t blockBytes_;

    std::vector<unsigned char> window_;   // the last 32 KiB read, the next block's dictionary
    std::unique_ptr<Block> current_;      // the block whose output is being handed out
    std::size_t handedOut_ = 0;
    bool inputEnded_ = false;
    bool failed_ = false;
    std::uint64_t inputBytes_ = 0;
    std::uint32_t crc_ = 0;
    std::string problem_;
    drivekit::core::OrderedWork<Block> work_;  // last: its workers end before the rest
};

}  // namespace plugin::cli::debug_logs
