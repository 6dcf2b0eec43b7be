// zlib streams of whole buffers: the pixels of DefineBitsLossless bodies and the data of
// CWS movies.
#pragma once

#include <cstddef>

#include "common/Bytes.h"
#include "common/Parallel.h"

namespace tarvenox {

// The zlib stream of data, at most 0.5% larger than zlib's level 9 makes it and usually
// smaller. Data that compresses less than 2:1 (photographs, where zlib's level 9 is
// slowest) goes through libdeflate at level 6; data of at least 2 MiB is cut into blocks
// of about 1 MiB, compressed on up to `threads` threads and joined into one stream.
// Other data (drawn pictures, flat colours), where libdeflate falls behind zlib by up to
// a quarter, goes through zlib at level 9 in one piece, as fast there as libdeflate.
// The bytes depend on the data alone, never on the number of threads.
Bytes zlibCompress(ByteSpan data, unsigned threads = availableThreads());

// The parameters of zlibCompress, for tests that reach each path with small data.
struct DeflatePlan {
    std::size_t blockSize = std::size_t{1} << 20;
    // Data of fewer bytes is compressed by zlib whatever it holds.
    std::size_t smallestForLibdeflate = 64 * 1024;
};
Bytes zlibCompress(ByteSpan data, unsigned threads, const DeflatePlan& plan);

}  // namespace tarvenox
