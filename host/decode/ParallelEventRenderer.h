#pragma once
// The events of a persistent event log written on several threads. The walk hands over each
// event's bytes; they are gathered into batches of about 64 KiB, a worker writes each batch's
// events through a sink of its own, and the batches' texts go to the output in log order. At
// most 2 x workers + 1 batches are held at a time, so memory stays flat in the log's size. The
// workers live only inside an object of this class and are joined when it is destroyed,
// whatever happened.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

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
    void writeFront();
    void work();
    void render(Batch& batch, Sink& sink);

    SinkMaker makeSink_;
    std::ostream& out_;
    std::size_t mostInFlight_ = 1;
    std::unique_ptr<Batch> filling_;
    std::deque<std::unique_ptr<Batch>> inFlight_;  // in log order; the front is written next
    // Batches written out, kept with their buffers' room for the next ones: a long log is
    // written without allocating (and faulting in) fresh memory for each batch.
    std::vector<std::unique_ptr<Batch>> spare_;
    std::unique_ptr<Sink> ownSink_;  // the calling thread's, when there are no workers
    bool firstBatch_ = true;

    std::mutex mutex_;
    std::condition_variable workWaiting_;  // workers: a batch to write, or time to end
    std::condition_variable batchDone_;    // the calling thread: a batch finished
    std::deque<Batch*> queue_;             // batches no worker has taken yet
    bool ending_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace host
