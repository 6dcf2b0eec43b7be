// zlib streams of whole buffers, through libdeflate or zlib.
#include "swf/Deflate.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace tarvenox {

namespace {

// Measured on photographs and on drawn pictures (bench/engine_bench BM_DeflateLevels):
// from level 5 to 9 libdeflate makes photographs 1.1% smaller than zlib's level 9, at
// 2.3 times its speed; levels 2 to 4 make them 0.5% larger, and 10 to 12 take longer
// than zlib. Drawn pictures come out 5 to 35% larger at every level up to 11.
constexpr int kLibdeflateLevel = 6;
constexpr int kZlibLevel = 9;
// zlib's header for a stream of the default level class: deflate, a 32 KiB window, no
// dictionary, FLEVEL 2; the check bits make 0x789C a multiple of 31.
constexpr std::uint8_t kLibdeflateHeader[] = {0x78, 0x9C};
// Data that compresses to half its size or less goes to zlib.
constexpr std::size_t kZlibFromRatio = 2;
// The sample the choice is made on: four 64 KiB pieces spread over the first block,
// compressed at libdeflate's fastest level.
constexpr std::size_t kProbePieces = 4;
constexpr std::size_t kProbePieceSize = 64 * 1024;
// The output zlib writes into, and drops, while it walks a block.
constexpr std::size_t kWalkScratch = 64 * 1024;

struct FreeCompressor {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};
using Compressor = std::unique_ptr<libdeflate_compressor, FreeCompressor>;

Compressor makeCompressor(int level) {
    Compressor compressor(libdeflate_alloc_compressor(level));
    if (!compressor) throw std::bad_alloc();
    return compressor;
}

// zlib's stream of data at level 9, after prefix.
Bytes zlibLevel9(ByteSpan data, Bytes prefix = {}) {
    const std::size_t at = prefix.size();
    uLongf size = compressBound(data.size());
    Bytes out = std::move(prefix);
    out.resize(at + size);
    // compress2 fails only when zlib cannot get its memory.
    if (compress2(out.data() + at, &size, data.data(), data.size(), kZlibLevel) != Z_OK) throw std::bad_alloc();
    out.resize(at + size);
    return out;
}

bool compressesByHalf(ByteSpan data) {
    Compressor compressor = makeCompressor(1);
    const std::size_t pieceSize = std::min(kProbePieceSize, data.size());
    Bytes out(libdeflate_deflate_compress_bound(compressor.get(), pieceSize));
    std::size_t packed = 0;
    for (std::size_t i = 0; i < kProbePieces; ++i) {
        const std::size_t at = (data.size() - pieceSize) * i / (kProbePieces - 1);
        const std::size_t n =
            libdeflate_deflate_compress(compressor.get(), data.data() + at, pieceSize, out.data(), out.size());
        packed += n == 0 ? pieceSize : n;
    }
    return packed * kZlibFromRatio <= pieceSize * kProbePieces;
}

// Makes the raw deflate data of a block continue into the next block's: clears the
// final-block bit of its last block and ends it with an empty stored block, after which
// the next block's data starts on a byte boundary (as zlib's Z_SYNC_FLUSH ends one).
// libdeflate does not say where its last block starts or at which bit it ends, so zlib
// walks the data block by block to find out. False when the data is not as expected.
bool continueIntoNextBlock(Bytes& raw) {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) throw std::bad_alloc();
    std::unique_ptr<z_stream, int (*)(z_stream*)> guard(&stream, inflateEnd);
    stream.next_in = raw.data();
    stream.avail_in = static_cast<uInt>(raw.size());
    auto scratch = std::make_unique_for_overwrite<std::uint8_t[]>(kWalkScratch);
    std::uint64_t lastHeaderBit = 0;
    std::uint64_t endBit = 0;
    for (;;) {
        stream.next_out = scratch.get();
        stream.avail_out = static_cast<uInt>(kWalkScratch);
        const int status = inflate(&stream, Z_BLOCK);
        if (status != Z_OK && status != Z_STREAM_END) return false;
        // Bit 7 of data_type: stopped at a block boundary; bit 6: the block just ended
        // was the final one; bits 0-2: the bits of the last byte taken not yet used.
        if ((stream.data_type & 128) != 0) {
            const std::uint64_t bit = std::uint64_t{stream.total_in} * 8 - (stream.data_type & 7);
            if ((stream.data_type & 64) != 0) {
                endBit = bit;
                break;
            }
            lastHeaderBit = bit;
        } else if (status == Z_STREAM_END || (stream.avail_in == 0 && stream.avail_out != 0)) {
            return false;
        }
    }
    if ((endBit + 7) / 8 != raw.size()) return false;
    raw[lastHeaderBit / 8] &= static_cast<std::uint8_t>(~(1u << (lastHeaderBit % 8)));
    // The stored block's 3 header bits are zero, as the padding after the last block
    // is: they fit there when 3 bits are left, else a zero byte takes them. LEN 0 and
    // NLEN 0xFFFF follow on the byte boundary.
    const unsigned freeBits = (8 - endBit % 8) % 8;
    if (freeBits < 3) raw.push_back(0);
    raw.insert(raw.end(), {0x00, 0x00, 0xFF, 0xFF});
    return true;
}

void appendAdler32(Bytes& out, ByteSpan data) {
    const std::uint32_t adler = libdeflate_adler32(1, data.data(), data.size());
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(adler >> shift));
}

}  // namespace

struct ZlibCompressor::State {
    enum class Mode { Undecided, Deciding, Libdeflate, Zlib };

    ByteSpan data;
    DeflatePlan plan;
    std::size_t count = 0;  // blocks; 0 for data too small to cut
    std::mutex lock;
    std::condition_variable changed;
    std::size_t available = 0;
    Mode mode = Mode::Undecided;
    std::size_t next = 0;
    std::size_t done = 0;
    bool stopping = false;
    std::exception_ptr failure;
    std::vector<Bytes> blocks;
    std::vector<char> joined;
    std::vector<std::thread> helpers;

    std::size_t begin(std::size_t i) const { return data.size() * i / count; }
    std::size_t end(std::size_t i) const { return data.size() * (i + 1) / count; }

    // libdeflate's raw data of block i, made to continue into the next unless it is the
    // last.
    void compressBlock(std::size_t i) {
        Compressor compressor = makeCompressor(kLibdeflateLevel);
        Bytes& raw = blocks[i];
        const std::size_t length = end(i) - begin(i);
        raw.resize(libdeflate_deflate_compress_bound(compressor.get(), length));
        raw.resize(
            libdeflate_deflate_compress(compressor.get(), data.data() + begin(i), length, raw.data(), raw.size()));
        if (i + 1 < count) joined[i] = continueIntoNextBlock(raw);
    }

    // Runs step without the lock, and tells the others when it is done. False, with the
    // failure kept, when it threw.
    template <class Step>
    bool unlockedFor(std::unique_lock<std::mutex>& guard, Step step) {
        guard.unlock();
        try {
            step();
        } catch (...) {
            guard.lock();
            failure = std::current_exception();
            changed.notify_all();
            return false;
        }
        guard.lock();
        changed.notify_all();
        return true;
    }

    // Takes on what can be done now: the choice once the first block is there, then
    // blocks as they become whole. Returns when no more can be started.
    void work() {
        std::unique_lock guard(lock);
        for (;;) {
            if (stopping || failure || mode == Mode::Zlib || (mode == Mode::Libdeflate && next == count)) return;
            if (mode == Mode::Undecided && available >= end(0)) {
                mode = Mode::Deciding;
                bool zlib = true;
                if (!unlockedFor(guard, [&] { zlib = compressesByHalf(data.subspan(0, end(0))); })) return;
                mode = zlib ? Mode::Zlib : Mode::Libdeflate;
                continue;
            }
            if (mode == Mode::Libdeflate && available >= end(next)) {
                const std::size_t i = next++;
                if (!unlockedFor(guard, [&] { compressBlock(i); })) return;
                ++done;
                continue;
            }
            changed.wait(guard);
        }
    }

    void stop() {
        {
            std::lock_guard guard(lock);
            stopping = true;
            changed.notify_all();
        }
        for (auto& helper : helpers) helper.join();
        helpers.clear();
    }

    // The joined stream, or nothing when a block could not be joined (a fault of ours:
    // zlib is used instead).
    Bytes joinBlocks(const Bytes& prefix) {
        if (std::find(joined.begin(), joined.end(), 0) != joined.end()) return {};
        std::size_t total = prefix.size() + sizeof kLibdeflateHeader + 4;
        for (const Bytes& raw : blocks) total += raw.size();
        Bytes out;
        out.reserve(total);
        out.insert(out.end(), prefix.begin(), prefix.end());
        out.insert(out.end(), std::begin(kLibdeflateHeader), std::end(kLibdeflateHeader));
        for (Bytes& raw : blocks) {
            out.insert(out.end(), raw.begin(), raw.end());
            Bytes().swap(raw);
        }
        appendAdler32(out, data);
        return out;
    }
};

ZlibCompressor::ZlibCompressor(ByteSpan data, unsigned threads, const DeflatePlan& plan)
    : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.data = data;
    s.plan = plan;
    if (data.size() < plan.smallestForLibdeflate) {
        s.mode = State::Mode::Zlib;
        return;
    }
    s.count = std::max<std::size_t>(1, data.size() / plan.blockSize);
    s.blocks.resize(s.count);
    s.joined.assign(s.count, 1);
    const std::size_t helpers = std::min<std::size_t>(std::max(threads, 1u), s.count) - 1;
    try {
        for (std::size_t t = 0; t < helpers; ++t) s.helpers.emplace_back([&s] { s.work(); });
    } catch (const std::system_error&) {
        // No thread to be had: the caller does the work in finish().
    }
}

ZlibCompressor::~ZlibCompressor() { state_->stop(); }

void ZlibCompressor::available(std::size_t size) {
    State& s = *state_;
    std::lock_guard guard(s.lock);
    s.available = std::max(s.available, std::min(size, s.data.size()));
    s.changed.notify_all();
}

Bytes ZlibCompressor::finish(Bytes prefix) {
    State& s = *state_;
    available(s.data.size());
    s.work();
    {
        std::unique_lock guard(s.lock);
        s.changed.wait(guard, [&] { return s.failure || s.mode == State::Mode::Zlib || s.done == s.count; });
    }
    s.stop();
    if (s.failure) std::rethrow_exception(s.failure);
    if (s.mode == State::Mode::Zlib) return zlibLevel9(s.data, std::move(prefix));
    Bytes out = s.joinBlocks(prefix);
    // The first block can mislead: data that compressed by half after all is done again
    // by zlib, which is the smaller there.
    const std::size_t overhead = prefix.size() + sizeof kLibdeflateHeader + 4;
    if (out.empty() || (out.size() - overhead) * kZlibFromRatio <= s.data.size()) {
        Bytes zlib = zlibLevel9(s.data, std::move(prefix));
        if (out.empty() || zlib.size() <= out.size()) return zlib;
    }
    return out;
}

Bytes zlibCompress(ByteSpan data, unsigned threads) { return zlibCompress(data, threads, DeflatePlan{}); }

Bytes zlibCompress(ByteSpan data, unsigned threads, const DeflatePlan& plan) {
    ZlibCompressor compressor(data, threads, plan);
    return compressor.finish();
}

}  // namespace tarvenox
