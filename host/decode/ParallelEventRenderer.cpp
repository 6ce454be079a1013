#include "host/decode/ParallelEventRenderer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <system_error>

namespace host {

namespace pel = drivekit::features::nvme_get_log::pel;

namespace {
// A batch is closed once it holds this many bytes of events: its text (ten to forty times as
// long) stays a few MiB, and the hand-over costs little beside the decode.
constexpr std::size_t batchBytes = std::size_t{64} << 10;
}  // namespace

struct ParallelEventRenderer::Batch {
    struct Event {
        uint64_t number = 0;
        std::size_t offset = 0;  // in bytes
        std::size_t size = 0;
        bool cut = false;
        std::string reason;  // why a cut event is cut
    };
    std::vector<uint8_t> bytes;
    std::vector<Event> events;
    bool first = false;  // holds the log's first event
    // Written by the one thread that writes the batch; read after done is seen under the lock.
    std::string output;
    std::exception_ptr error;
    bool done = false;
};

ParallelEventRenderer::ParallelEventRenderer(SinkMaker makeSink, unsigned threads, std::ostream& out)
    : makeSink_(std::move(makeSink)), out_(out) {
    for (unsigned n = 0; threads > 1 && n < threads; ++n) {
        try {
            workers_.emplace_back([this] { work(); });
        } catch (const std::system_error&) {
            break;  // writes with the workers it has, or on this thread alone
        }
    }
    // Enough batches ahead to keep every worker busy while the front one is written out.
    mostInFlight_ = workers_.empty() ? 1 : 2 * workers_.size() + 1;
}

ParallelEventRenderer::~ParallelEventRenderer() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    workWaiting_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
}

unsigned ParallelEventRenderer::threadsToUse() {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const char* text = std::getenv("SSDTOOL_DECODE_THREADS");
    if (text == nullptr || *text == '\0' || std::strspn(text, "0123456789") != std::strlen(text) ||
        std::strlen(text) > 6) {
        return cores;
    }
    const auto asked = static_cast<unsigned>(std::atoi(text));
    return asked == 0 ? cores : std::min(asked, cores);
}

void ParallelEventRenderer::event(uint64_t number, const uint8_t* bytes, std::size_t size) {
    add(number, bytes, size, nullptr);
}

void ParallelEventRenderer::cutEvent(uint64_t number, const uint8_t* header, std::size_t size,
                                     const std::string& reason) {
    add(number, header, size, &reason);
}

void ParallelEventRenderer::add(uint64_t number, const uint8_t* bytes, std::size_t size, const std::string* reason) {
    if (filling_ == nullptr) {
        if (spare_.empty()) {
            filling_ = std::make_unique<Batch>();
        } else {
            filling_ = std::move(spare_.back());
            spare_.pop_back();
        }
        filling_->first = firstBatch_;
        firstBatch_ = false;
    }
    Batch::Event& added = filling_->events.emplace_back();
    added.number = number;
    added.offset = filling_->bytes.size();
    added.size = size;
    added.cut = reason != nullptr;
    if (reason != nullptr) {
        added.reason = *reason;
    }
    filling_->bytes.insert(filling_->bytes.end(), bytes, bytes + size);
    if (filling_->bytes.size() >= batchBytes) {
        submit();
    }
}

void ParallelEventRenderer::finish() {
    if (filling_ != nullptr) {
        submit();
    }
    while (!inFlight_.empty()) {
        writeFront();
    }
}

// Hands the batch being filled to a worker (or writes it here), after making room for it.
void ParallelEventRenderer::submit() {
    while (inFlight_.size() >= mostInFlight_) {
        writeFront();
    }
    Batch* batch = filling_.get();
    inFlight_.push_back(std::move(filling_));
    if (workers_.empty()) {
        if (ownSink_ == nullptr) {
            ownSink_ = makeSink_();
        }
        render(*batch, *ownSink_);
        batch->done = true;
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(batch);
    }
    workWaiting_.notify_one();
}

// Writes the oldest batch once it is done; rethrows what its decode threw.
void ParallelEventRenderer::writeFront() {
    Batch& front = *inFlight_.front();
    if (!workers_.empty()) {
        std::unique_lock<std::mutex> lock(mutex_);
        batchDone_.wait(lock, [&front] { return front.done; });
    }
    std::unique_ptr<Batch> batch = std::move(inFlight_.front());
    inFlight_.pop_front();
    if (batch->error) {
        std::rethrow_exception(batch->error);
    }
    out_.write(batch->output.data(), static_cast<std::streamsize>(batch->output.size()));
    batch->bytes.clear();
    batch->events.clear();
    batch->output.clear();
    batch->done = false;
    spare_.push_back(std::move(batch));
}

// The batch's events through sink; its text is swapped into the batch, and the sink keeps the
// room of the batch's old text for the next one.
void ParallelEventRenderer::render(Batch& batch, Sink& sink) {
    try {
        sink.output().clear();
        sink.followOn(!batch.first);
        for (const Batch::Event& event : batch.events) {
            const uint8_t* bytes = batch.bytes.data() + event.offset;
            if (event.cut) {
                pel::PersistentEventWalk::renderCutEvent(sink, event.number, bytes, event.size, event.reason);
            } else {
                pel::PersistentEventWalk::renderEvent(sink, event.number, bytes, event.size);
            }
        }
        batch.output.swap(sink.output());
    } catch (...) {
        batch.error = std::current_exception();
    }
}

void ParallelEventRenderer::work() {
    std::unique_ptr<Sink> sink;
    try {
        sink = makeSink_();
    } catch (...) {
    }
    for (;;) {
        Batch* batch = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            workWaiting_.wait(lock, [this] { return ending_ || !queue_.empty(); });
            if (ending_) {
                return;
            }
            batch = queue_.front();
            queue_.pop_front();
        }
        if (sink != nullptr) {
            render(*batch, *sink);
        } else {
            batch->error = std::make_exception_ptr(std::bad_alloc());
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            batch->done = true;
        }
        batchDone_.notify_all();
    }
}

}  // namespace host
