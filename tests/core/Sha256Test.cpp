#include <gtest/gtest.h>

#include <string>

#include "drivekit/core/Sha256.h"

using drivekit::core::Sha256;

namespace {

std::string digestInPieces(const std::string& text, size_t piece) {
    Sha256 digest;
    for (size_t at = 0; at < text.size(); at += piece) {
        const std::string part = text.substr(at, piece);
        digest.add(reinterpret_cast<const uint8_t*>(part.data()), part.size());
    }
    return digest.hexDigest();
}

}  // namespace

// Known digests, fed whole and in pieces that cross the 64-byte blocks and the padding's edge.
TEST(Sha256Test, KnownDigestsWhateverThePieces) {
    const struct {
        std::string text;
        std::string digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000, 'a'), "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3"},
    };
    for (const auto& known : cases) {
        for (const size_t piece : {size_t{1}, size_t{7}, size_t{64}, size_t{100000}}) {
            EXPECT_EQ(digestInPieces(known.text, piece), known.digest) << known.text.size() << " bytes by " << piece;
        }
    }
    EXPECT_EQ(Sha256::ofFile("/nonexistent/file"), "");
}
