#include "host/decode/ParallelEventRenderer.h"

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
        std::string reason;  // why the event is cut; empty for a whole event
    };
    std::vector<uint8_t> bytes;
    std::vector<Event> events;
    bool first = false;  // holds the log's first event
    std::string output;  // written by the thread that writes the batch
};

ParallelEventRenderer::ParallelEventRenderer(SinkMaker makeSink, unsigned threads, std::ostream& out)
    : out_(out), work_(threads, [&makeSink]() -> drivekit::core::OrderedWork<Batch>::Worker {
          const std::shared_ptr<Sink> sink = makeSink();
          return [sink](Batch& batch) { render(batch, *sink); };
      }) {}

ParallelEventRenderer::~ParallelEventRenderer() = default;

unsigned ParallelEventRenderer::threadsToUse() {
    return drivekit::core::OrderedWork<Batch>::threadsToUse("SSDTOOL_DECODE_THREADS");
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
    added.reason = reason != nullptr ? *reason : std::string();
    filling_->bytes.insert(filling_->bytes.end(), bytes, bytes + size);
    if (filling_->bytes.size() >= batchBytes) {
        submit();
    }
}

void ParallelEventRenderer::finish() {
    if (filling_ != nullptr) {
        submit();
    }
    while (work_.inFlight() > 0) {
        writeOldest();
    }
}

// Hands the batch being filled to the workers, after making room for it.
void ParallelEventRenderer::submit() {
    while (work_.inFlight() >= work_.mostInFlight()) {
        writeOldest();
    }
    work_.give(std::move(filling_));
}

// Writes the oldest batch once it is done; what its decode threw is thrown here.
void ParallelEventRenderer::writeOldest() {
    std::unique_ptr<Batch> batch = work_.takeOldest();
    out_.write(batch->output.data(), static_cast<std::streamsize>(batch->output.size()));
    batch->bytes.clear();
    batch->events.clear();
    batch->output.clear();
    spare_.push_back(std::move(batch));
}

// The batch's events through sink; its text is swapped into the batch, and the sink keeps the
// room of the batch's old text for the next one.
void ParallelEventRenderer::render(Batch& batch, Sink& sink) {
    sink.output().clear();
    sink.followOn(!batch.first);
    for (const Batch::Event& event : batch.events) {
        const uint8_t* bytes = batch.bytes.data() + event.offset;
        if (!event.reason.empty()) {
            pel::PersistentEventWalk::renderCutEvent(sink, event.number, bytes, event.size, event.reason);
        } else {
            pel::PersistentEventWalk::renderEvent(sink, event.number, bytes, event.size);
        }
    }
    batch.output.swap(sink.output());
}

}  // namespace host
