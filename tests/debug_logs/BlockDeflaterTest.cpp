#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "plugins/plugin.debug_logs/debug_logs_common/BlockDeflater.h"
#include "plugins/plugin.debug_logs/debug_logs_common/DeflateStream.h"

namespace {

using plugin::cli::debug_logs::BlockDeflater;
using plugin::cli::debug_logs::DeflateStream;
using Bytes = std::vector<unsigned char>;
constexpr std::size_t blockBytes = 32768;  // the smallest block: every match may cross into the one before

// Noise with stretches copied from far back, so that matches reach across block boundaries.
Bytes sample(std::size_t size) {
    std::mt19937 random(static_cast<unsigned>(size));
    Bytes bytes(size);
    for (std::size_t at = 0; at < size; ++at) {
        const bool copy = at > 4000 && (at / 700) % 3 == 0;
        bytes[at] = copy ? bytes[at - 3000 - (at / 700) % 900] : static_cast<unsigned char>(random() % 40);
    }
    return bytes;
}

// Hands the input out in pieces of at most piece bytes, as a file read in parts would.
BlockDeflater::Reader readerOf(const Bytes& input, std::size_t piece) {
    auto at = std::make_shared<std::size_t>(0);
    return [&input, piece, at](unsigned char* buffer, std::size_t size, std::string&) {
        const std::size_t count = std::min({size, piece, input.size() - *at});
        std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(*at), count, buffer);
        *at += count;
        return static_cast<std::int64_t>(count);
    };
}

Bytes drain(BlockDeflater& deflater) {
    Bytes stream;
    unsigned char buffer[5000];
    std::int64_t count = 0;
    while ((count = deflater.read(buffer, sizeof(buffer))) > 0) {
        stream.insert(stream.end(), buffer, buffer + count);
    }
    EXPECT_EQ(count, 0) << deflater.problem();
    return stream;
}

// Inflates a raw deflate stream; false unless it ends exactly where the data ends.
bool inflateAll(const Bytes& stream, Bytes& output) {
    z_stream inflater{};
    inflateInit2(&inflater, -MAX_WBITS);
    inflater.next_in = const_cast<unsigned char*>(stream.data());
    inflater.avail_in = static_cast<uInt>(stream.size());
    int result = Z_OK;
    while (result == Z_OK) {
        unsigned char buffer[65536];
        inflater.next_out = buffer;
        inflater.avail_out = sizeof(buffer);
        result = inflate(&inflater, Z_NO_FLUSH);
        output.insert(output.end(), buffer, buffer + (sizeof(buffer) - inflater.avail_out));
    }
    const bool whole = result == Z_STREAM_END && inflater.avail_in == 0;
    inflateEnd(&inflater);
    return whole;
}

}  // namespace

// The joined blocks are one deflate stream of the input whatever the size, the reads' pieces, the
// number of threads and what a lent stream compressed before, and the joined CRC-32 is the input's.
TEST(BlockDeflater, BlocksJoinIntoOneStreamOfTheInputAroundEveryBoundary) {
    const std::size_t sizes[] = {0, 1, blockBytes - 1, blockBytes, blockBytes + 1, 2 * blockBytes,
                                 7 * blockBytes + 17};
    DeflateStream lent(6);  // one stream through every size, as the packer lends its own
    for (const std::size_t size : sizes) {
        for (const unsigned threads : {1u, 3u, 0u}) {
            SCOPED_TRACE("size " + std::to_string(size) + ", threads " + std::to_string(threads));
            const Bytes input = sample(size);
            BlockDeflater deflater(readerOf(input, threads == 1 ? input.size() + 1 : 10000), threads, {}, blockBytes,
                                   6, threads == 0 ? &lent : nullptr);
            const Bytes stream = drain(deflater);
            Bytes output;
            EXPECT_TRUE(inflateAll(stream, output));
            EXPECT_TRUE(output == input);
            EXPECT_EQ(deflater.inputBytes(), size);
            EXPECT_EQ(deflater.crc(), crc32(0L, input.data(), static_cast<uInt>(input.size())));
            EXPECT_EQ(deflater.read(output.data(), 1), 0) << "the stream stays complete";
        }
    }
}

// A stop between blocks and an input that cannot be read end the stream as a failure, and the
// workers are joined with blocks still queued.
TEST(BlockDeflater, StopAndReadFailureEndTheStreamAsAFailure) {
    const Bytes input = sample(20 * blockBytes);
    int checks = 0;
    BlockDeflater stopped(readerOf(input, input.size()), 2, [&checks] { return ++checks > 3; }, blockBytes);
    unsigned char buffer[4096];
    std::int64_t count = 0;
    while ((count = stopped.read(buffer, sizeof(buffer))) > 0) {
    }
    EXPECT_EQ(count, -1);
    EXPECT_EQ(stopped.problem(), "stopped");
    EXPECT_EQ(stopped.read(buffer, sizeof(buffer)), -1) << "a failed stream stays failed";

    auto failing = [](unsigned char*, std::size_t, std::string& problem) {
        problem = "cannot read the log";
        return std::int64_t{-1};
    };
    BlockDeflater unreadable(failing, 2, {}, blockBytes);
    EXPECT_EQ(unreadable.read(buffer, sizeof(buffer)), -1);
    EXPECT_EQ(unreadable.problem(), "cannot read the log");
}
