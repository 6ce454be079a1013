#pragma once
// The events of a persistent event log written on several threads. The walk hands over each
// event's bytes; they are gathered into batches of about 64 KiB, a worker writes each batch's
// events through a sink of its own, and the batches' texts go to the output in log order. At
// most 2 x workers + 1 batches are held at a time, so memory stays flat in the log's size. The
// workers live only inside an object of this class and are joined when it is destroyed,
// whatever happened.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "drivekit/core/OrderedWork.h"
#include "drivekit/features/decode/TextOutputSink.h"
#include "drivekit/features/nvme_get_log/pel/PersistentEventWalk.h"

namespace host {

class ParallelEventRenderer : public drivekit::features::nvme_get_log::pel::PersistentEventReceiver {
public:
    using SinkMaker = std::function<std::unique_ptr<drivekit::features::decode::TextOutputSink>()>;

    // threads: 1 writes on the calling thread alone; more starts that many workers.
    ParallelEventRenderer(SinkMaker makeSink, unsigned threads, std::ostream& out);
    ~ParallelEventRenderer() override;
    ParallelEventRenderer(const ParallelEventRenderer&) = delete;
    ParallelEventRenderer& operator=(const ParallelEventRenderer&) = delete;

    void event(uint64_t number, const uint8_t* bytes, std::size_t size) override;
    void cutEvent(uint64_t number, const uint8_t* header, std::size_t size, const std::string& reason) override;

    // Writes the events not yet written. What a worker's decode threw is thrown here, or by
    // the event call that meets it.
    void finish();

    // The threads to decode with: SSDTOOL_DECODE_THREADS when it is a number from 1 up, else the
    // machine's cores; never more than the cores.
    static unsigned threadsToUse();

    struct Batch;

private:
    using Sink = drivekit::features::decode::TextOutputSink;

    void add(uint64_t number, const uint8_t* bytes, std::size_t size, const std::string* reason);
    void submit();
    void writeOldest();
    static void render(Batch& batch, Sink& sink);

    std::ostream& out_;
    std::unique_ptr<Batch> filling_;
    // Batches written out, kept with their buffers' room for the next ones: a long log is
    // written without allocating (and faulting in) fresh memory for each batch.
    std::vector<std::unique_ptr<Batch>> spare_;
    bool firstBatch_ = true;
    drivekit::core::OrderedWork<Batch> work_;  // last: its workers end before the rest
};

}  // namespace host
