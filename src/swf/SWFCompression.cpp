// Inflating and deflating the body of a CWS or ZWS movie.
#include "swf/SWFCompression.h"

#include <libdeflate.h>
#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <memory>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "common/Texts.h"
#include "swf/Deflate.h"

namespace tarvenox {

namespace {

// Output grows by at most this much per step, so a header that promises more than the
// data holds, or data that holds more than the header promises, costs no more memory
// than what really came out.
constexpr std::size_t kChunk = 64 * 1024;
// No template comes near this; a movie claiming more is refused before inflating.
constexpr std::uint32_t kMaxUncompressed = 256u * 1024 * 1024;
// ZWS: after the common prefix, the length of the LZMA data (UI32) and the 5 bytes of
// LZMA properties (lc/lp/pb and the dictionary size).
constexpr std::size_t kLzmaLengthOffset = kSWFPrefixSize;
constexpr std::size_t kLzmaPropsOffset = kLzmaLengthOffset + 4;
constexpr std::size_t kLzmaPropsSize = 5;
constexpr std::size_t kLzmaDataOffset = kLzmaPropsOffset + kLzmaPropsSize;

// Makes room for one more chunk of output at the end of out and returns where it starts;
// keepWritten() then drops what the step left unwritten.
std::uint8_t* addChunk(Bytes& out) {
    out.resize(out.size() + kChunk);
    return out.data() + out.size() - kChunk;
}

void keepWritten(Bytes& out, std::size_t unwritten) { out.resize(out.size() - unwritten); }

// Compressed data that cannot be used, for the reason problem. A cut-off movie is told
// apart: truncation() words it as any cut-off movie is, whatever its form.
Report unusable(SWFCompression compression, const std::string& problem) {
    const std::string form =
        compression == SWFCompression::None ? text("movie.uncompressed") : compressionName(compression);
    return Report::failure(text("movie.unusableData", {signatureOf(compression), form, problem}));
}

// Messages count the whole movie, as the header's file length does.
Report truncation(std::size_t produced, std::size_t expected) {
    return Report::failure(truncationText(produced + kSWFPrefixSize, expected + kSWFPrefixSize, true));
}

Report overflow(SWFCompression compression, std::size_t expected) {
    return unusable(compression, text("movie.moreThanHeaderGives", {std::to_string(expected + kSWFPrefixSize)}));
}

// Deflate expands its input at most 1032 times: data that promises more cannot hold it.
constexpr std::size_t kMaxDeflateRatio = 1032;

// Inflates the whole stream at once with libdeflate into out, after what it holds.
// nullopt, out as it was, when zlib's step by step inflation must judge instead:
// libdeflate finds the data broken (a stream cut before its checksum is among those, and
// players take it whole), or the data is too short to hold what the header promises,
// whose output is then not set aside at once.
std::optional<Result<Bytes>> inflateWhole(ByteSpan in, std::size_t expected, Bytes& out) {
    if (expected / kMaxDeflateRatio > in.size()) return std::nullopt;
    std::unique_ptr<libdeflate_decompressor, void (*)(libdeflate_decompressor*)> decompressor(
        libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
    if (!decompressor) return std::nullopt;
    const std::size_t base = out.size();
    out.resize(base + expected);
    std::size_t consumed = 0;
    std::size_t produced = 0;
    switch (libdeflate_zlib_decompress_ex(decompressor.get(), in.data(), in.size(), out.data() + base, expected,
                                          &consumed, &produced)) {
        case LIBDEFLATE_SUCCESS:
            if (produced == expected) return Result<Bytes>(std::move(out));
            return Result<Bytes>(truncation(produced, expected));
        case LIBDEFLATE_INSUFFICIENT_SPACE: return Result<Bytes>(overflow(SWFCompression::Zlib, expected));
        default: out.resize(base); return std::nullopt;
    }
}

// Inflates the whole of data piece by piece into out, after what it holds; out grows by
// a chunk at a time.
Result<Bytes> inflateStepwise(MovieInflater& inflater, ByteSpan data, Bytes out) {
    while (!inflater.done()) {
        const std::size_t written = inflater.inflate(data, true, {addChunk(out), kChunk});
        keepWritten(out, kChunk - written);
    }
    if (inflater.verdict().failed()) return inflater.verdict();
    return out;
}

class ZlibInflater final : public MovieInflater {
public:
    explicit ZlibInflater(std::size_t expected) : MovieInflater(SWFCompression::Zlib, expected, kSWFPrefixSize) {}
    ~ZlibInflater() override {
        if (started_) inflateEnd(&stream_);
    }

    std::size_t inflate(ByteSpan& data, bool end, std::span<std::uint8_t> out) override {
        if (done()) return 0;
        if (!started_) {
            if (inflateInit(&stream_) != Z_OK) {
                fail(text("movie.zlibNotStarted"));
                return 0;
            }
            started_ = true;
        }
        const std::size_t given = std::min<std::size_t>(data.size(), UINT_MAX);
        const std::size_t room = roomFor(out);
        stream_.next_in = const_cast<Bytef*>(data.data());
        stream_.avail_in = static_cast<uInt>(given);
        stream_.next_out = out.data();
        stream_.avail_out = static_cast<uInt>(room);
        const int status = ::inflate(&stream_, Z_NO_FLUSH);
        data = data.subspan(given - stream_.avail_in);
        const std::size_t written = room - stream_.avail_out;
        if (produced(written)) {
        } else if (status == Z_STREAM_END) {
            ended();
        } else if (status == Z_BUF_ERROR || (status == Z_OK && stream_.avail_in == 0 && stream_.avail_out != 0)) {
            // Data that stops after the last promised byte (a stream cut before its
            // checksum) holds the whole movie, as players take it.
            if (end && data.empty()) ended();
        } else if (status != Z_OK) {
            fail(text("movie.zlibBroken", {stream_.msg != nullptr ? stream_.msg : "zlib error"}));
        }
        return written;
    }

private:
    z_stream stream_{};
    bool started_ = false;
};

class LzmaInflater final : public MovieInflater {
public:
    LzmaInflater(std::size_t expected, lzma_stream stream)
        : MovieInflater(SWFCompression::Lzma, expected, kLzmaDataOffset), stream_(stream) {}
    ~LzmaInflater() override { lzma_end(&stream_); }

    std::size_t inflate(ByteSpan& data, bool end, std::span<std::uint8_t> out) override {
        if (done()) return 0;
        const std::size_t room = roomFor(out);
        stream_.next_in = data.data();
        stream_.avail_in = data.size();
        stream_.next_out = out.data();
        stream_.avail_out = room;
        const lzma_ret status = lzma_code(&stream_, end ? LZMA_FINISH : LZMA_RUN);
        data = data.subspan(data.size() - stream_.avail_in);
        const std::size_t written = room - stream_.avail_out;
        if (produced(written)) {
        } else if (status == LZMA_STREAM_END) {
            ended();
        } else if (status == LZMA_BUF_ERROR) {
            if (end && data.empty()) ended();
        } else if (status != LZMA_OK) {
            fail(text("movie.lzmaBroken"));
        }
        return written;
    }

private:
    lzma_stream stream_;
};

// The LZMA decoder for the movie's properties; fails when they cannot be used.
Result<lzma_stream> startLzma(ByteSpan movieStart, std::size_t expected) {
    ByteReader reader(movieStart);
    reader.skip(kLzmaPropsOffset);
    ByteSpan props = reader.readBytes(kLzmaPropsSize);
    if (reader.overrun()) return unusable(SWFCompression::Lzma, text("movie.lzmaHeaderCutShort"));
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_properties_decode(&filters[0], nullptr, props.data(), props.size()) != LZMA_OK) {
        return unusable(SWFCompression::Lzma, text("movie.lzmaPropertiesInvalid"));
    }
    std::unique_ptr<lzma_options_lzma, void (*)(void*)> options(static_cast<lzma_options_lzma*>(filters[0].options),
                                                                free);
    // A dictionary larger than the whole output is never used: capping it keeps a
    // movie from asking for gigabytes of it.
    options->dict_size = std::clamp<std::uint32_t>(options->dict_size, LZMA_DICT_SIZE_MIN,
                                                   std::max<std::uint32_t>(expected, LZMA_DICT_SIZE_MIN));
    // The size is known from the header; writers differ in whether they end the data
    // with an end marker as well.
    options->ext_flags = LZMA_LZMA1EXT_ALLOW_EOPM;
    lzma_set_ext_size(*options, expected);
    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_raw_decoder(&stream, filters) != LZMA_OK) {
        return unusable(SWFCompression::Lzma, text("movie.lzmaNotStarted"));
    }
    return stream;
}

// Raw LZMA without an end marker (the header gives the size), with its 5 property bytes.
Bytes deflateLzma(ByteSpan in, std::array<std::uint8_t, kLzmaPropsSize>& props) {
    lzma_options_lzma options{};
    lzma_lzma_preset(&options, LZMA_PRESET_DEFAULT);
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_properties_encode(&filters[0], props.data());
    lzma_stream stream = LZMA_STREAM_INIT;
    Bytes out;
    if (lzma_raw_encoder(&stream, filters) != LZMA_OK) return out;
    std::unique_ptr<lzma_stream, void (*)(lzma_stream*)> guard(&stream, lzma_end);
    stream.next_in = in.data();
    stream.avail_in = in.size();
    lzma_ret status = LZMA_OK;
    while (status == LZMA_OK) {
        stream.next_out = addChunk(out);
        stream.avail_out = kChunk;
        status = lzma_code(&stream, LZMA_FINISH);
        keepWritten(out, stream.avail_out);
    }
    return out;
}

}  // namespace

std::optional<SWFCompression> compressionOfSignature(std::string_view signature) {
    if (signature == "FWS") return SWFCompression::None;
    if (signature == "CWS") return SWFCompression::Zlib;
    if (signature == "ZWS") return SWFCompression::Lzma;
    return std::nullopt;
}

const char* signatureOf(SWFCompression compression) {
    switch (compression) {
        case SWFCompression::Zlib: return "CWS";
        case SWFCompression::Lzma: return "ZWS";
        case SWFCompression::None: break;
    }
    return "FWS";
}

const char* compressionName(SWFCompression compression) {
    switch (compression) {
        case SWFCompression::Zlib: return "zlib";
        case SWFCompression::Lzma: return "LZMA";
        case SWFCompression::None: break;
    }
    return "uncompressed";
}

std::string truncationText(std::uint64_t length, std::uint64_t headerLength, bool compressed) {
    return text(compressed ? "movie.truncatedUncompressed" : "movie.truncated",
                {std::to_string(length), std::to_string(headerLength)});
}

std::size_t MovieInflater::roomFor(std::span<std::uint8_t> out) const {
    return std::min(out.size(), expected_ - std::min(produced_, expected_) + 1);
}

bool MovieInflater::produced(std::size_t written) {
    produced_ += written;
    if (produced_ <= expected_) return false;
    done_ = true;
    verdict_ = overflow(compression_, expected_);
    return true;
}

void MovieInflater::ended() {
    done_ = true;
    if (produced_ != expected_) verdict_ = truncation(produced_, expected_);
}

void MovieInflater::fail(const std::string& problem) {
    done_ = true;
    verdict_ = unusable(compression_, problem);
}

Result<std::unique_ptr<MovieInflater>> MovieInflater::start(ByteSpan movieStart, SWFCompression compression) {
    if (movieStart.size() < kSWFPrefixSize) return unusable(compression, text("movie.headerCut"));
    const std::uint32_t fileLength = peekUI32(movieStart, 4);
    if (fileLength < kSWFPrefixSize || fileLength > kMaxUncompressed) {
        return unusable(compression,
                        text("movie.impossibleLength", {std::to_string(fileLength), std::to_string(kMaxUncompressed)}));
    }
    const std::size_t expected = fileLength - kSWFPrefixSize;
    if (compression == SWFCompression::Zlib)
        return std::unique_ptr<MovieInflater>(std::make_unique<ZlibInflater>(expected));
    auto stream = startLzma(movieStart, expected);
    if (!stream) return stream.report();
    return std::unique_ptr<MovieInflater>(std::make_unique<LzmaInflater>(expected, *stream));
}

Result<Bytes> unpackSWF(ByteSpan movie, SWFCompression compression) {
    if (compression == SWFCompression::None) {
        if (movie.size() >= kSWFPrefixSize) return Bytes(movie.begin(), movie.end());
        return unusable(compression, text("movie.headerCut"));
    }
    auto inflater = MovieInflater::start(movie, compression);
    if (!inflater) return inflater.report();
    Bytes out(movie.begin(), movie.begin() + kSWFPrefixSize);
    const ByteSpan data = movie.subspan(std::min(movie.size(), (*inflater)->dataOffset()));
    if (compression == SWFCompression::Zlib) {
        if (auto whole = inflateWhole(data, (*inflater)->expected(), out)) return std::move(*whole);
    }
    return inflateStepwise(**inflater, data, std::move(out));
}

Bytes packSWF(ByteSpan plain, SWFCompression compression) {
    Bytes out(plain.begin(), plain.begin() + std::min(plain.size(), kSWFPrefixSize));
    if (out.size() < kSWFPrefixSize) return out;
    const char* signature = signatureOf(compression);
    std::copy(signature, signature + 3, out.begin());
    ByteSpan rest = plain.subspan(kSWFPrefixSize);
    switch (compression) {
        case SWFCompression::None: out.insert(out.end(), rest.begin(), rest.end()); break;
        case SWFCompression::Zlib: {
            Bytes packed = zlibCompress(rest);
            out.insert(out.end(), packed.begin(), packed.end());
            break;
        }
        case SWFCompression::Lzma: {
            std::array<std::uint8_t, kLzmaPropsSize> props{};
            Bytes packed = deflateLzma(rest, props);
            writeUI32(out, static_cast<std::uint32_t>(packed.size()));
            out.insert(out.end(), props.begin(), props.end());
            out.insert(out.end(), packed.begin(), packed.end());
            break;
        }
    }
    return out;
}

}  // namespace tarvenox
