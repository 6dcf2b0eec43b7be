// zlib streams of whole buffers: the pixels of DefineBitsLossless bodies and the data of
// CWS movies.
#pragma once

#include <cstddef>
#include <memory>

#include "common/Bytes.h"
#include "common/Parallel.h"

namespace tarvenox {

// How zlibCompress cuts its work, for tests that reach each path with small data.
struct DeflatePlan {
    std::size_t blockSize = std::size_t{1} << 19;
    // Data of fewer bytes is compressed by zlib whatever it holds.
    std::size_t smallestForLibdeflate = 64 * 1024;
};

// The zlib stream of data, at most 0.5% larger than zlib's level 9 makes it and usually
// smaller. Data whose first block compresses less than 2:1 (photographs, where zlib's
// level 9 is slowest) goes through libdeflate at level 6, cut into blocks of about
// 512 KiB that are compressed on up to `threads` threads and joined into one stream. Other data
// (drawn pictures, flat colours), where libdeflate falls behind zlib by up to a quarter,
// and any data that turns out to compress by half, goes through zlib at level 9 in one
// piece, as fast there as libdeflate. The bytes depend on the data alone, never on the
// number of threads.
Bytes zlibCompress(ByteSpan data, unsigned threads = availableThreads());
Bytes zlibCompress(ByteSpan data, unsigned threads, const DeflatePlan& plan);

// zlibCompress of data that is made front to back, started while it is being made: each
// block is compressed as soon as its bytes are all there, on up to threads - 1 threads
// of its own and, from finish() on, the caller's. The bytes are zlibCompress's.
class ZlibCompressor {
public:
    // data is the whole buffer, whose bytes are not yet final.
    ZlibCompressor(ByteSpan data, unsigned threads = availableThreads(), const DeflatePlan& plan = {});
    // Stops, and waits for the blocks in progress, when finish() was not called.
    ~ZlibCompressor();
    ZlibCompressor(const ZlibCompressor&) = delete;
    ZlibCompressor& operator=(const ZlibCompressor&) = delete;

    // data[0, size) holds its final bytes now.
    void available(std::size_t size);
    // All of data holds its final bytes: prefix followed by the stream. What a block
    // threw (std::bad_alloc) is thrown here.
    Bytes finish(Bytes prefix = {});

    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace tarvenox
