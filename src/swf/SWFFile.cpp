// Reading and writing an SWF movie.
#include "swf/SWFFile.h"

#include <cstdio>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "common/FileIO.h"
#include "common/Log.h"
#include "swf/SWFBackgroundColor.h"
#include "swf/SWFCompression.h"
#include "swf/MovieWindow.h"
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

// The first bytes of a movie file: what tells its form and how to inflate it.
Bytes movieStart(const ByteSource& source) {
    Bytes start(static_cast<std::size_t>(std::min<std::uint64_t>(source.size(), kInflaterStartSize)));
    source.readAt(0, start);
    return start;
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

SWFFile::SWFFile(const std::string& path, RecordSink onRecord) : recordSink_(std::move(onRecord)) {
    readRecords(path);
}

std::shared_ptr<ByteSource> SWFFile::openSource(const std::string& path) {
    auto source = ByteSource::openFile(path);
    if (!source) {
        error_ = source.report().reason();
        return nullptr;
    }
    return source.take();
}

void SWFFile::readFile(const std::string& path) {
    if (auto source = openSource(path)) read(std::move(source), path);
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

std::optional<std::string> SWFFile::readSignature(const ByteSource& source, const std::string& name) {
    if (source.size() < 3) {
        error_ = name + ": the header is cut short (" + std::to_string(source.size()) +
                 " bytes, a movie has at least 9)";
        return std::nullopt;
    }
    Bytes signature(3);
    source.readAt(0, signature);
    const std::string sig = asString(signature);
    const auto compression = compressionOfSignature(sig);
    if (!compression) {
        error_ = name + ": not an SWF movie: it starts with '" + displaySignature(sig) + "', not FWS, CWS or ZWS";
        return std::nullopt;
    }
    compression_ = *compression;
    return sig;
}

std::string SWFFile::unusableData(const std::string& name, const std::string& sig, const std::string& problem,
                                  bool truncated) const {
    // A cut-off movie is told in the same words whatever its form.
    if (truncated) return name + ": " + problem;
    return name + ": a " + sig + " movie whose " + compressionName(compression_) + " data cannot be used: " + problem;
}

void SWFFile::read(std::shared_ptr<const ByteSource> source, const std::string& name) {
    const auto sig = readSignature(*source, name);
    if (!sig) return;
    if (compression_ != SWFCompression::None) {
        // The compressed data is inflated whole; the tags are then parts of it.
        Bytes packed(static_cast<std::size_t>(source->size()));
        source->readAt(0, packed);
        std::string problem;
        bool truncated = false;
        auto unpacked = unpackSWF(packed, compression_, &problem, &truncated);
        if (!unpacked) {
            error_ = unusableData(name, *sig, problem, truncated);
            return;
        }
        source = ByteSource::inMemory(std::move(*unpacked));
    }
    SourceWindow window(*source);
    readPlain(window, source->size(), source, name);
}

void SWFFile::readRecords(const std::string& path) {
    const auto source = openSource(path);
    if (!source) return;
    const auto sig = readSignature(*source, path);
    if (!sig) return;
    if (compression_ == SWFCompression::None) {
        SourceWindow window(*source);
        readPlain(window, source->size(), nullptr, path);
        return;
    }
    std::string problem;
    auto inflater = MovieInflater::start(movieStart(*source), compression_, &problem);
    if (!inflater) {
        error_ = unusableData(path, *sig, problem, false);
        return;
    }
    InflatingWindow window(*source, *inflater);
    readPlain(window, kSWFPrefixSize + inflater->expected(), nullptr, path);
    window.finish();
    // As when the movie is read whole, data that cannot be used leaves nothing read.
    if (!inflater->error().empty()) {
        error_ = unusableData(path, *sig, inflater->error(), inflater->truncated());
        header_.clear();
        endTagMissing_ = false;
    }
}

std::unique_ptr<SWFTag> SWFFile::Record::tag(std::size_t maxBytes) const {
    const ByteSpan body = window_->peek(bodyOffset_, std::min<std::size_t>(maxBytes, length_));
    return createTag(code_, Bytes(body.begin(), body.end()));
}

namespace {

// Bodies up to this size are read with the tag headers around them; larger ones when
// they are first used, so that a save that does not use them never reads them.
constexpr std::uint32_t kReadWithHeaders = 4096;

}  // namespace

void SWFFile::readPlain(MovieWindow& window, std::uint64_t size, const std::shared_ptr<const ByteSource>& source,
                        const std::string& name) {
    if (size < kRectOffset + 1) {
        error_ = name + ": the header is cut short (" + std::to_string(size) + " bytes, a movie has at least 9)";
        return;
    }
    const ByteSpan start = window.peek(0, kRectOffset + 1);
    const int nBits = start.size() > kRectOffset ? start[kRectOffset] >> 3 : 0;
    const std::size_t length = headerLength(nBits);
    if (size < length) {
        error_ = name + ": the header is cut short (" + std::to_string(size) + " of " + std::to_string(length) +
                 " bytes)";
        return;
    }
    const ByteSpan header = window.peek(0, length);
    header_.assign(header.begin(), header.end());
    header_.resize(length);
    source_ = source;

    // A movie whose data ends before the length its header gives was cut off (a download
    // that stopped), wherever the cut fell: that is what is said of it. Data longer than
    // the header says, or a header that is wrong but a movie that reaches its End tag, is
    // read as players read it. (A compressed movie's data has been checked against its
    // header already.)
    const std::uint32_t headerFileLength = fileLengthField();
    const bool truncated = size < headerFileLength;
    const auto cutShort = [&](const std::string& problem) {
        error_ = name + ": " + (truncated ? truncationText(size, headerFileLength, false) : problem);
    };
    std::uint64_t offset = length;
    for (;;) {
        // Compilers that leave the End tag out write movies that players take as they
        // are: the last tag ends exactly at the end of the data, as the header says.
        if (offset == size) {
            if (truncated) {
                cutShort({});
            } else {
                endTagMissing_ = true;
            }
            return;
        }
        const ByteSpan recordHeader = window.peek(offset, 6);
        ByteReader reader(recordHeader);
        if (reader.remaining() < 2) {
            cutShort("the movie ends at offset " + std::to_string(offset) + " inside a record header");
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
                cutShort(describeTag(code) + " at offset " + std::to_string(offset) + " ends inside its record header");
                return;
            }
        }
        const auto headerSize = static_cast<std::uint8_t>(reader.position());
        const std::uint64_t bodyOffset = offset + headerSize;
        const std::uint64_t remaining = size - bodyOffset;
        if (bodyLength > remaining) {
            cutShort(describeTag(code) + " at offset " + std::to_string(offset) + " ends after " +
                     std::to_string(remaining) + " of " + std::to_string(bodyLength) + " bytes");
            return;
        }
        if (recordSink_) {
            recordSink_(Record(code, bodyLength, bodyOffset, window));
        } else {
            Bytes read;
            if (bodyLength <= kReadWithHeaders && !source->view(bodyOffset, bodyLength)) {
                const ByteSpan body = window.peek(bodyOffset, bodyLength);
                read.assign(body.begin(), body.end());
            }
            tags_.push_back(createTag(code, TagBody(source, code, bodyOffset, bodyLength, headerSize, std::move(read))));
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
    const Report written = writeFileAtomically(path, bytes());
    if (written.failed() && error != nullptr) *error = written.reason();
    return !written.failed();
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

// What look(window) finds in the movie at path as players see it: inflated when it is a
// CWS or ZWS movie whose data can be used, else the file's bytes as they stand. The
// movie is looked at through a window, so that the probe needs little memory however
// large the movie; compressed data is inflated to its end all the same, to know that it
// can be used.
template <class Look>
auto lookAtPlainMovie(const std::string& path, Look look) -> decltype(look(std::declval<MovieWindow&>())) {
    auto opened = ByteSource::openFile(path);
    if (!opened) return std::nullopt;
    const std::shared_ptr<ByteSource> source = opened.take();
    const Bytes start = movieStart(*source);
    const auto compression = compressionOfSignature(asString(ByteSpan(start).first(std::min<std::size_t>(3, start.size()))));
    if (start.size() >= 3 && compression && *compression != SWFCompression::None) {
        std::string problem;
        if (auto inflater = MovieInflater::start(start, *compression, &problem)) {
            InflatingWindow window(*source, *inflater);
            auto found = look(window);
            window.finish();
            if (inflater->error().empty()) return found;
        }
    }
    SourceWindow window(*source);
    return look(window);
}

}  // namespace

std::optional<std::int32_t> probeBackgroundColor(const std::string& path) {
    return lookAtPlainMovie(path, [](MovieWindow& window) -> std::optional<std::int32_t> {
        // 0x43 0x02 is the short record header of code 9 with length 3. The search runs
        // from the first byte, header included, like the record reader of old templates.
        constexpr std::size_t kStep = 64 * 1024;
        for (std::uint64_t at = 0;;) {
            const ByteSpan d = window.peek(at, kStep + 4);
            if (d.size() < 5) return std::nullopt;
            for (std::size_t i = 0; i + 4 < d.size(); ++i) {
                if (d[i] == 0x43 && d[i + 1] == 0x02) return (d[i + 2] << 16) | (d[i + 3] << 8) | d[i + 4];
            }
            at += d.size() - 4;
        }
    });
}

std::optional<std::pair<std::int32_t, std::int32_t>> probeFrameSize(const std::string& path) {
    return lookAtPlainMovie(path, [](MovieWindow& window) -> std::optional<std::pair<std::int32_t, std::int32_t>> {
        const ByteSpan rectBytes = window.peek(kRectOffset, 20);
        if (rectBytes.empty()) return std::nullopt;
        SWFBitReader reader(rectBytes);
        SWFRect rect = SWFRect::read(reader);
        if (reader.overrun()) return std::nullopt;
        return std::make_pair(rect.width(), rect.height());
    });
}

}  // namespace tarvenox
