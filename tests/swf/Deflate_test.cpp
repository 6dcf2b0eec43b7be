// zlib streams of whole buffers, through libdeflate in joined blocks or through zlib.
#include "swf/Deflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "support/PictureFiles.h"

namespace tarvenox {
namespace {

// Bytes from a fixed seed: a slow ramp with noise of the given amplitude (0: the ramp
// alone, which compresses far more than 2:1; 255: noise alone, which does not compress).
Bytes rampWithNoise(std::size_t size, unsigned amplitude) {
    Bytes out(size);
    std::uint32_t state = 12345;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        const unsigned noise = amplitude == 0 ? 0 : (state >> 24) % (amplitude + 1);
        out[i] = static_cast<std::uint8_t>((i / 512) + noise);
    }
    return out;
}

std::size_t zlibLevel9Size(ByteSpan data) {
    uLongf size = compressBound(data.size());
    Bytes out(size);
    compress2(out.data(), &size, data.data(), data.size(), 9);
    return size;
}

// Every stream inflates back to its data and is no more than 0.5% larger than zlib's
// level 9, and its bytes depend neither on the number of threads nor on how the data
// became available. Small blocks make many joins, each ending its block at another bit
// of a byte.
TEST(Deflate, StreamsInflateBackAndAreTheSameOnAnyNumberOfThreads) {
    struct Case {
        const char* name;
        Bytes data;
        DeflatePlan plan;
        std::uint8_t flags;  // second header byte: 0x9C libdeflate, 0xDA zlib level 9
    };
    const DeflatePlan smallBlocks{.blockSize = 4096, .smallestForLibdeflate = 1024};
    const Case cases[] = {
        {"noisy ramp, 60 blocks", rampWithNoise(250'000, 40), smallBlocks, 0x9C},
        {"noise, 3 blocks", rampWithNoise(12'345, 255), smallBlocks, 0x9C},
        {"noisy ramp, one block", rampWithNoise(5000, 40), smallBlocks, 0x9C},
        {"ramp, compresses far", rampWithNoise(250'000, 0), smallBlocks, 0xDA},
        {"below the smallest size", rampWithNoise(1000, 255), smallBlocks, 0xDA},
        {"empty", {}, {}, 0xDA},
        {"noisy ramp, default plan", rampWithNoise(2'500'000, 40), {}, 0x9C},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes one = zlibCompress(c.data, 1, c.plan);
        ASSERT_GE(one.size(), 2u);
        EXPECT_EQ(one[1], c.flags);
        EXPECT_EQ(test::inflate(one, 0, c.data.size()), c.data);
        EXPECT_LE(one.size(), zlibLevel9Size(c.data) * 1005 / 1000 + 1);
        for (unsigned threads : {2u, 3u, 8u}) {
            EXPECT_EQ(zlibCompress(c.data, threads, c.plan), one) << threads;
            // The same data made available a few thousand bytes at a time.
            ZlibCompressor progressive(c.data, threads, c.plan);
            for (std::size_t size = 0; size < c.data.size(); size += 3001) progressive.available(size);
            EXPECT_EQ(progressive.finish(), one) << threads;
        }
    }
}

}  // namespace
}  // namespace tarvenox
