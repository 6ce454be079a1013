#include "plugins/plugin.debug_logs/debug_logs_common/BlockDeflater.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>

#include "plugins/plugin.debug_logs/debug_logs_common/DeflateStream.h"

namespace plugin::cli::debug_logs {

namespace {
// The farthest back a deflate match reaches: what a block is primed with.
constexpr std::size_t windowBytes = 32768;
}  // namespace

struct BlockDeflater::Block {
    std::vector<unsigned char> dictionary;
    std::vector<unsigned char> input;
    bool last = false;  // ends the stream
    // Written by the one thread that compresses the block.
    std::vector<unsigned char> output;
    std::uint32_t crc = 0;
    std::string error;
};

namespace {

void compressCatching(BlockDeflater::Block& block, DeflateStream& stream) {
    try {
        if (stream.compress(block.dictionary, block.input, block.last, block.output, block.error)) {
            block.crc = static_cast<std::uint32_t>(
                crc32(0L, block.input.data(), static_cast<uInt>(block.input.size())));
        }
    } catch (const std::bad_alloc&) {
        block.error = "not enough memory to deflate";
    }
}

// The last windowBytes of what came before and the new input.
void slideWindow(std::vector<unsigned char>& window, const std::vector<unsigned char>& input) {
    if (input.size() >= windowBytes) {
        window.assign(input.end() - windowBytes, input.end());
        return;
    }
    window.insert(window.end(), input.begin(), input.end());
    if (window.size() > windowBytes) {
        window.erase(window.begin(), window.end() - windowBytes);
    }
}

}  // namespace

BlockDeflater::BlockDeflater(Reader reader, unsigned threads, StopCheck stop, std::size_t blockBytes, int level,
                             DeflateStream* stream)
    : reader_(std::move(reader)),
      stop_(std::move(stop)),
      blockBytes_(std::clamp<std::size_t>(blockBytes, windowBytes, std::size_t{64} << 20)),
      // Each worker has a stream of its own, reset for each block it takes; the calling thread
      // uses the one lent, when it has the level.
      work_(threads, [threads, level, stream]() -> drivekit::core::OrderedWork<Block>::Worker {
          DeflateStream* lent = stream != nullptr && stream->level() == level ? stream : nullptr;
          if (threads <= 1 && lent != nullptr) {
              return [lent](Block& block) { compressCatching(block, *lent); };
          }
          std::shared_ptr<DeflateStream> own = std::make_shared<DeflateStream>(level);
          return [own](Block& block) { compressCatching(block, *own); };
      }) {}

BlockDeflater::~BlockDeflater() = default;

unsigned BlockDeflater::threadsToUse() {
    return drivekit::core::OrderedWork<Block>::threadsToUse("SSDTOOL_PACK_THREADS");
}

std::int64_t BlockDeflater::read(unsigned char* buffer, std::size_t size) {
    std::size_t copied = 0;
    while (!failed_ && copied < size) {
        if (current_ != nullptr && handedOut_ < current_->output.size()) {
            const std::size_t count = std::min(size - copied, current_->output.size() - handedOut_);
            std::memcpy(buffer + copied, current_->output.data() + handedOut_, count);
            handedOut_ += count;
            copied += count;
        } else if ((current_ != nullptr && current_->last) || !nextOutput()) {
            break;
        }
    }
    return failed_ ? -1 : static_cast<std::int64_t>(copied);
}

// Makes the next block in stream order the current one, once it is compressed.
bool BlockDeflater::nextOutput() {
    current_.reset();
    if (!fillPipeline()) {
        return false;
    }
    try {
        current_ = work_.takeOldest();
    } catch (const std::exception& error) {
        return fail(error.what());  // nothing may be thrown through libzip
    }
    handedOut_ = 0;
    if (!current_->error.empty()) {
        return fail(current_->error);
    }
    crc_ = static_cast<std::uint32_t>(crc32_combine(crc_, current_->crc, static_cast<z_off_t>(current_->input.size())));
    inputBytes_ += current_->input.size();
    return true;
}

// Reads blocks ahead until enough are in flight or the input has ended; the block after the
// input's last byte is an empty one that ends the stream.
bool BlockDeflater::fillPipeline() {
    while (!inputEnded_ && work_.inFlight() < work_.mostInFlight()) {
        if (stop_ && stop_()) {
            return fail("stopped");
        }
        auto block = std::make_unique<Block>();
        block->dictionary = window_;
        block->input.resize(blockBytes_);
        std::size_t held = 0;
        while (held < blockBytes_ && !inputEnded_) {
            std::string problem;
            const std::int64_t count = reader_(block->input.data() + held, blockBytes_ - held, problem);
            if (count < 0) {
                return fail(problem);
            }
            inputEnded_ = count == 0;
            held += static_cast<std::size_t>(count);
        }
        block->input.resize(held);
        block->last = inputEnded_;
        slideWindow(window_, block->input);
        work_.give(std::move(block));
    }
    return true;
}

bool BlockDeflater::fail(const std::string& problem) {
    failed_ = true;
    problem_ = problem;
    return false;
}

}  // namespace plugin::cli::debug_logs
