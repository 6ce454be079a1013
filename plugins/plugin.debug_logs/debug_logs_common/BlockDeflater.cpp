#include "plugins/plugin.debug_logs/debug_logs_common/BlockDeflater.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <system_error>

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
    // Written by the one thread that compresses the block; read after done is seen under the lock.
    std::vector<unsigned char> output;
    std::uint32_t crc = 0;
    std::string error;
    bool done = false;
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
      level_(level),
      stream_(stream != nullptr && stream->level() == level ? stream : nullptr) {
    for (unsigned n = 0; threads > 1 && n < threads; ++n) {
        try {
            workers_.emplace_back([this] { work(); });
        } catch (const std::system_error&) {
            break;  // packs with the workers it has, or on this thread alone
        }
    }
    // Enough blocks read ahead to keep every worker busy while the next ones are handed out.
    mostInFlight_ = workers_.empty() ? 1 : 2 * workers_.size() + 1;
}

BlockDeflater::~BlockDeflater() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    workWaiting_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
}

unsigned BlockDeflater::threadsToUse() {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const char* text = std::getenv("SSDTOOL_PACK_THREADS");
    if (text == nullptr || *text == '\0' || std::strspn(text, "0123456789") != std::strlen(text) ||
        std::strlen(text) > 6) {
        return cores;
    }
    const unsigned asked = static_cast<unsigned>(std::atoi(text));
    return asked == 0 ? cores : std::min(asked, cores);
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
    Block& front = *inFlight_.front();
    if (workers_.empty()) {
        if (stream_ == nullptr) {
            ownStream_ = std::make_unique<DeflateStream>(level_);
            stream_ = ownStream_.get();
        }
        compressCatching(front, *stream_);
    } else {
        std::unique_lock<std::mutex> lock(mutex_);
        blockDone_.wait(lock, [&front] { return front.done; });
    }
    current_ = std::move(inFlight_.front());
    inFlight_.pop_front();
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
    while (!inputEnded_ && inFlight_.size() < mostInFlight_) {
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
        submit(std::move(block));
    }
    return true;
}

void BlockDeflater::submit(std::unique_ptr<Block> block) {
    if (!workers_.empty()) {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(block.get());
    }
    inFlight_.push_back(std::move(block));
    workWaiting_.notify_one();
}

void BlockDeflater::work() {
    DeflateStream stream(level_);  // reset for each block this worker takes
    for (;;) {
        Block* block = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            workWaiting_.wait(lock, [this] { return ending_ || !queue_.empty(); });
            if (ending_) {
                return;
            }
            block = queue_.front();
            queue_.pop_front();
        }
        compressCatching(*block, stream);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            block->done = true;
        }
        blockDone_.notify_all();
    }
}

bool BlockDeflater::fail(const std::string& problem) {
    failed_ = true;
    problem_ = problem;
    return false;
}

}  // namespace plugin::cli::debug_logs
