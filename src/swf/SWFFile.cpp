// Reading and writing an SWF movie.
#include "swf/SWFFile.h"

#include <cstdio>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "common/FileIO.h"
#include "common/Log.h"
#include "swf/SWFBackgroundColor.h"
#include "swf/SWFCompression.h"
#include "swf/SWFExportAssets.h"
#include "swf/TagFactory.h"

namespace tarvenox {

namespace {

// Signature, version and file length come before the frame RECT.
constexpr std::size_t kRectOffset = 8;
constexpr std::size_t kFileLengthOffset = 4;
constexpr std::uint32_t kLongLengthMark = 63;
// The End tag: a record header of code 0, length 0.
constexpr std::uint8_t kEndTag[] = {0, 0};
constexpr std::size_t kEndTagSize = sizeof kEndTag;

// A signature as it can be shown: bytes outside printable ASCII as \xNN.
std::string displaySignature(const std::string& sig) {
    std::string out;
    for (unsigned char c : sig) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string describeTag(int code) {
    return "tag " + std::to_string(code) + " (" + std::string(tagName(code)) + ")";
}

}  // namespace

std::size_t SWFFile::headerLength(int nBits) {
    // 8 bytes before the RECT, the RECT's 5 + 4 * Nbits bits rounded up to whole
    // bytes, then frame rate and frame count (2 bytes each).
    return 13 + static_cast<std::size_t>((4 * nBits + 5) / 8);
}

SWFFile::SWFFile(const std::string& path) { readFile(path); }

SWFFile::SWFFile(const std::string& path, TagSink onTag) : tagSink_(std::move(onTag)) {
    readFile(path);
}

void SWFFile::readFile(const std::string& path) {
    std::string error;
    auto source = ByteSource::openFile(path, &error);
    if (!source) {
        error_ = error;
        return;
    }
    read(std::move(source), path);
}

SWFFile::SWFFile(ByteSpan data, const std::string& name) {
    read(ByteSource::inMemory(Bytes(data.begin(), data.end())), name);
}

SWFFile::SWFFile(std::uint8_t version, SWFRect frame, double frameRate, std::uint16_t frameCount) {
    header_ = {'F', 'W', 'S', version, 0, 0, 0, 0};
    SWFBitWriter rect;
    frame.write(rect);
    header_.insert(header_.end(), rect.bytes().begin(), rect.bytes().end());
    const auto rate = static_cast<std::uint16_t>(frameRate * 256.0 + 0.5);
    writeUI16(header_, rate);
    writeUI16(header_, frameCount);
}

void SWFFile::read(std::shared_ptr<const ByteSource> source, const std::string& name) {
    if (source->size() < 3) {
        error_ = name + ": the header is cut short (" + std::to_string(source->size()) +
                 " bytes, a movie has at least 9)";
        return;
    }
    Bytes signature(3);
    source->readAt(0, signature);
    const std::string sig = asString(signature);
    const auto compression = compressionOfSignature(sig);
    if (!compression) {
        error_ = name + ": not an SWF movie: it starts with '" + displaySignature(sig) +
                 "', not FWS, CWS or ZWS";
        return;
    }
    compression_ = *compression;
    if (compression_ != SWFCompression::None) {
        // The compressed data is inflated whole; the tags are then parts of it.
        Bytes packed(static_cast<std::size_t>(source->size()));
        source->readAt(0, packed);
        std::string problem;
        auto unpacked = unpackSWF(packed, compression_, &problem);
        if (!unpacked) {
            error_ = name + ": a " + sig + " movie whose " + compressionName(compression_) +
                     " data cannot be used: " + problem;
            return;
        }
        source = ByteSource::inMemory(std::move(*unpacked));
    }
    readPlain(std::move(source), name);
}

namespace {

// Bodies up to this size are read with the tag headers around them; larger ones when
// they are first used, so that a save that does not use them never reads them.
constexpr std::uint32_t kReadWithHeaders = 4096;

// A source read front to back: a file through a small window, so that the headers of
// many small tags take few reads, and what lies between large tags is not read at all.
class SourceWindow {
public:
    explicit SourceWindow(const ByteSource& source) : source_(source) {}

    // The bytes from offset: n of them, or fewer at the end of the source.
    ByteSpan peek(std::uint64_t offset, std::size_t n) {
        if (offset >= source_.size()) return {};
        n = static_cast<std::size_t>(std::min<std::uint64_t>(n, source_.size() - offset));
        if (auto bytes = source_.view(offset, n)) return *bytes;
        if (offset < start_ || offset + n > start_ + window_.size()) {
            start_ = offset;
            window_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(std::max(n, kWindow), source_.size() - offset)));
            source_.readAt(offset, window_);
        }
        return ByteSpan(window_).subspan(static_cast<std::size_t>(offset - start_), n);
    }

private:
    static constexpr std::size_t kWindow = 4096;
    const ByteSource& source_;
    Bytes window_;
    std::uint64_t start_ = 0;
};

}  // namespace

void SWFFile::readPlain(std::shared_ptr<const ByteSource> source, const std::string& name) {
    SourceWindow window(*source);
    const std::uint64_t size = source->size();
    if (size < kRectOffset + 1) {
        error_ = name + ": the header is cut short (" + std::to_string(size) + " bytes, a movie has at least 9)";
        return;
    }
    const int nBits = window.peek(kRectOffset, 1)[0] >> 3;
    const std::size_t length = headerLength(nBits);
    if (size < length) {
        error_ = name + ": the header is cut short (" + std::to_string(size) + " of " + std::to_string(length) +
                 " bytes)";
        return;
    }
    const ByteSpan header = window.peek(0, length);
    header_.assign(header.begin(), header.end());
    source_ = source;

    std::uint64_t offset = length;
    for (;;) {
        // Compilers that leave the End tag out write movies that players take as they
        // are: the last tag ends exactly at the end of the data.
        if (offset == size) {
            endTagMissing_ = true;
            return;
        }
        const ByteSpan recordHeader = window.peek(offset, 6);
        ByteReader reader(recordHeader);
        if (reader.remaining() < 2) {
            error_ = name + ": the movie ends at offset " + std::to_string(offset) + " inside a record header";
            return;
        }
        const std::uint16_t word = reader.readU16LE();
        const int code = word >> 6;
        // The End tag; anything after it is dropped. A record of code 0 with a length
        // is taken as the End tag too, as players take it: kept as a tag, it would be
        // written back as a bare End tag and cut the movie short there.
        if (code == static_cast<int>(TagCode::End)) break;
        std::uint32_t bodyLength = word & 0x3F;
        if (bodyLength == kLongLengthMark) {
            bodyLength = reader.readU32LE();
            if (reader.overrun()) {
                error_ = name + ": " + describeTag(code) + " at offset " + std::to_string(offset) +
                         " ends inside its record header";
                return;
            }
        }
        const auto headerSize = static_cast<std::uint8_t>(reader.position());
        const std::uint64_t bodyOffset = offset + headerSize;
        const std::uint64_t remaining = size - bodyOffset;
        if (bodyLength > remaining) {
            error_ = name + ": " + describeTag(code) + " at offset " + std::to_string(offset) + " ends after " +
                     std::to_string(remaining) + " of " + std::to_string(bodyLength) + " bytes";
            return;
        }
        Bytes read;
        if (bodyLength <= kReadWithHeaders && !source->view(bodyOffset, bodyLength)) {
            const ByteSpan body = window.peek(bodyOffset, bodyLength);
            read.assign(body.begin(), body.end());
        }
        auto tag = createTag(code, TagBody(source, code, bodyOffset, bodyLength, headerSize, std::move(read)));
        if (tagSink_) {
            tagSink_(std::move(tag));
        } else {
            tags_.push_back(std::move(tag));
        }
        offset = bodyOffset + bodyLength;
    }
}

ByteChain SWFFile::bytes() const {
    ByteChain out;
    // A movie whose header could not be read has nothing to write.
    if (header_.size() < kRectOffset) return out;
    std::uint64_t total = header_.size() + kEndTagSize;
    for (const auto& tag : tags_) total += tag->outputSize();
    // The file length is computed for the bytes written, never kept in the model.
    Bytes header = header_;
    for (int i = 0; i < 4; ++i) header[kFileLengthOffset + i] = static_cast<std::uint8_t>((total >> (8 * i)) & 0xFF);
    out.appendCopy(header);
    for (const auto& tag : tags_) tag->appendTo(out);
    out.appendCopy(kEndTag);
    if (compression_ == SWFCompression::None) return out;
    return ByteChain(packSWF(out.flatten(), compression_));
}

Bytes SWFFile::serialize() const { return bytes().flatten(); }

void SWFFile::setCompression(SWFCompression compression) {
    compression_ = compression;
    if (header_.size() < 3) return;
    const char* sig = signatureOf(compression);
    std::copy(sig, sig + 3, header_.begin());
}

bool SWFFile::write(const std::string& path, std::string* error) {
    if (!complete()) {
        if (error != nullptr) *error = error_ + "; the movie was not written";
        return false;
    }
    if (source_ && source_->changed()) {
        if (error != nullptr) *error = path + ": the movie's file changed while it was read; the movie was not written";
        return false;
    }
    logPrint("writing SWFFile: %s\n", path.c_str());
    return writeFileAtomically(path, bytes(), error);
}

std::string SWFFile::signature() const {
    return header_.size() >= 3 ? asString(ByteSpan(header_).first(3)) : std::string();
}

std::uint8_t SWFFile::version() const { return header_.size() > 3 ? header_[3] : 0; }

std::uint32_t SWFFile::fileLengthField() const {
    if (header_.size() < 8) return 0;
    ByteReader reader(ByteSpan(header_).subspan(kFileLengthOffset, 4));
    return reader.readU32LE();
}

SWFRect SWFFile::frameRect() const {
    if (header_.size() <= kRectOffset) return {};
    SWFBitReader reader(ByteSpan(header_).subspan(kRectOffset));
    return SWFRect::read(reader);
}

double SWFFile::frameRate() const {
    if (header_.size() < 4) return 0;
    // 8.8 fixed point: the fraction byte comes first.
    const std::size_t at = header_.size() - 4;
    return header_[at + 1] + header_[at] / 256.0;
}

std::uint16_t SWFFile::frameCount() const {
    if (header_.size() < 2) return 0;
    return peekUI16(header_, header_.size() - 2);
}

std::optional<std::uint16_t> SWFFile::findExportedId(const std::string& exportName) const {
    for (const auto& tag : tags_) {
        auto* exports = dynamic_cast<const SWFExportAssets*>(tag.get());
        if (exports == nullptr) continue;
        for (const auto& asset : exports->assets()) {
            if (asset.name == exportName) return asset.id;
        }
    }
    return std::nullopt;
}

void SWFFile::setBackgroundColor(std::int32_t rgb) {
    for (auto& tag : tags_) {
        if (auto* background = dynamic_cast<SWFBackgroundColor*>(tag.get())) {
            background->setColor(rgb);
            return;
        }
    }
}

namespace {

// The file's bytes, inflated when it is a CWS or ZWS movie whose data can be used: the
// probes look at the movie as players see it.
std::optional<Bytes> readPlainMovie(const std::string& path) {
    auto data = readFileBytes(path);
    if (!data || data->size() < 3) return data;
    const auto compression = compressionOfSignature(asString(ByteSpan(*data).first(3)));
    if (!compression || *compression == SWFCompression::None) return data;
    std::string ignored;
    auto plain = unpackSWF(*data, *compression, &ignored);
    return plain ? plain : data;
}

}  // namespace

std::optional<std::int32_t> probeBackgroundColor(const std::string& path) {
    auto data = readPlainMovie(path);
    if (!data) return std::nullopt;
    const Bytes& d = *data;
    // 0x43 0x02 is the short record header of code 9 with length 3. The search runs
    // from the first byte, header included, like the record reader of old templates.
    for (std::size_t i = 0; i + 4 < d.size(); ++i) {
        if (d[i] == 0x43 && d[i + 1] == 0x02) return (d[i + 2] << 16) | (d[i + 3] << 8) | d[i + 4];
    }
    return std::nullopt;
}

std::optional<std::pair<std::int32_t, std::int32_t>> probeFrameSize(const std::string& path) {
    auto data = readPlainMovie(path);
    if (!data || data->size() <= kRectOffset) return std::nullopt;
    ByteSpan rectBytes = ByteSpan(*data).subspan(kRectOffset);
    SWFBitReader reader(rectBytes.first(std::min<std::size_t>(rectBytes.size(), 20)));
    SWFRect rect = SWFRect::read(reader);
    if (reader.overrun()) return std::nullopt;
    return std::make_pair(rect.width(), rect.height());
}

}  // namespace tarvenox
