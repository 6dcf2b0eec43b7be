// Decoding PNG pictures with libpng and turning them into DefineBitsLossless bodies.
#include "picture/PngImage.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <utility>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "common/FileIO.h"
#include "common/Texts.h"
#include "picture/ExifOrientation.h"
#include "picture/PictureFile.h"
#include "picture/PictureLimits.h"
#include "swf/Deflate.h"
#include "swf/SWFLosslessImage.h"

namespace tarvenox {

namespace {

constexpr std::uint8_t kFormatColorMapped = 3;
constexpr std::uint8_t kFormatArgb = 5;
// Deflate expands its input at most 1032 times: a file holds no more row bytes than
// that many times its size.
constexpr std::size_t kMaxDeflateRatio = 1032;

// The state the libpng callbacks reach through their user pointers. It is plain data
// because the error callback leaves libpng by longjmp, which must not skip destructors.
struct ReadState {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t position = 0;
    char message[256] = {};
    // The catalogue id of the reason when the refusal is this program's own, not libpng's.
    const char* ownReason = nullptr;
};

// libpng's errors (a corrupt chunk, a bad CRC, data that ends early) come here; the
// message is kept and control returns to the setjmp in decodeRows.
[[noreturn]] void onError(png_structp png, png_const_charp message) {
    auto* state = static_cast<ReadState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message);
    png_longjmp(png, 1);
}

// Leaves libpng with this program's own reason, worded in the run's language when the
// refusal is reported. The id is a literal: nothing is left to destroy by the longjmp.
[[noreturn]] void refuse(png_structp png, const char* id) {
    static_cast<ReadState*>(png_get_error_ptr(png))->ownReason = id;
    png_error(png, id);
}

// Warnings (an unknown ancillary chunk, a doubtful gamma) do not stop the import.
void onWarning(png_structp, png_const_charp) {}

void onRead(png_structp png, png_bytep out, png_size_t count) {
    auto* state = static_cast<ReadState*>(png_get_io_ptr(png));
    if (state->size - state->position < count) refuse(png, "png.endsEarly");
    std::memcpy(out, state->data + state->position, count);
    state->position += count;
}

// Colour times alpha over 255, rounded to nearest (exact halves cannot occur, as
// 255 is odd).
std::uint8_t premultiply(std::uint8_t colour, std::uint8_t alpha) {
    return static_cast<std::uint8_t>((colour * alpha + 127) / 255);
}

// Frees the libpng structures however the decoding ends.
struct PngStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngStructs() {
        if (png != nullptr) png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
    }
};

// What libpng gives for one picture, before it becomes a bitmap body.
struct Decoded {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool tooLarge = false;
    bool isPalette = false;
    bool hasAlpha = false;
    int channels = 0;
    std::vector<std::uint8_t> colorTable;
    std::unique_ptr<std::uint8_t[]> pixels;
    std::vector<png_bytep> rows;
};

// Why the data cannot be a PNG picture before libpng reads it, in the run's language:
// it does not start with the PNG signature (a text, another kind of picture), or a chunk's
// declared length passes the end of the data ("TYPE claims N bytes, M follow"); empty when
// the signature is there and every chunk up to IEND (or the end of the data) fits. libpng
// sets aside a chunk's whole declared length before reading it, so a length field of
// two gigabytes in a file of a hundred bytes would cost two gigabytes first.
std::string unreadableStart(ByteSpan png) {
    if (png.size() < 8 || png_sig_cmp(png.data(), 0, 8) != 0) return text("png.noSignature");
    ByteReader reader(png);
    reader.skip(8);
    while (reader.remaining() >= 8) {
        const std::uint32_t length = reader.readU32BE();
        const std::string type = asString(reader.readBytes(4));
        // The chunk's data and its CRC.
        if (length > reader.remaining() || reader.remaining() - length < 4) {
            return text("png.chunkTooLong", {type, std::to_string(length), std::to_string(reader.remaining())});
        }
        reader.skip(length + 4);
        if (type == "IEND") break;
    }
    return "";
}

// Told of a picture's rows as they are decoded.
class RowSink {
public:
    virtual ~RowSink() = default;
    // The picture's layout is known (out holds all but the pixels).
    virtual void start(const Decoded& out) = 0;
    // Rows 0 to rows - 1 of out.pixels hold their final bytes.
    virtual void rowsDecoded(const Decoded& out, std::uint32_t rows) = 0;
};

// Everything between setjmp and the last libpng call. No object with a destructor
// lives in this frame: what it allocates belongs to `out`, which outlives the jump, and
// what the sink allocates to the sink.
bool decodeRows(png_structp png, png_infop info, std::size_t fileSize, Decoded& out, RowSink* sink) {
    if (setjmp(png_jmpbuf(png))) return false;

    // The picture's own size is checked below, with a message of our own.
    png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
    // Ancillary chunks that the bitmap does not use (texts, colour profiles, Exif) are
    // skipped unread: a compressed one must not make libpng inflate megabytes for
    // nothing. Unknown chunks are dropped as well.
    static const png_byte kIgnored[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0tIME\0pHYs\0";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnored, 8);
    png_set_chunk_malloc_max(png, 8u << 20);
    png_read_info(png, info);
    out.width = png_get_image_width(png, info);
    out.height = png_get_image_height(png, info);
    // Refused from the header alone, before memory is set aside for the pixels.
    if (!pictureFits(out.width, out.height)) {
        out.tooLarge = true;
        return false;
    }
    // A damaged header can claim a size far beyond what the file holds; such a
    // picture is refused before memory is set aside for it.
    if (png_get_rowbytes(png, info) * out.height > kMaxDeflateRatio * fileSize) {
        refuse(png, "png.tooShortForSize");
    }
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    out.isPalette = colorType == PNG_COLOR_TYPE_PALETTE;
    if (bitDepth == 16) png_set_scale_16(png);
    if (out.isPalette) {
        if (bitDepth < 8) png_set_packing(png);
    } else {
        if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
        if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
        if ((colorType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
    }
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);

    out.channels = png_get_channels(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    const int expectedChannels = out.isPalette ? 1 : (out.channels == 4 ? 4 : 3);
    if (out.channels != expectedChannels || png_get_bit_depth(png, info) != 8 ||
        rowBytes != static_cast<std::size_t>(out.width) * out.channels) {
        png_error(png, "unexpected pixel layout after conversion");
    }
    out.hasAlpha = out.channels == 4;

    if (out.isPalette) {
        png_colorp palette = nullptr;
        int count = 0;
        if (png_get_PLTE(png, info, &palette, &count) == 0 || count <= 0) {
            refuse(png, "png.noPalette");
        }
        png_bytep alpha = nullptr;
        int alphaCount = 0;
        if (png_get_tRNS(png, info, &alpha, &alphaCount, nullptr) == 0) alphaCount = 0;
        out.hasAlpha = alphaCount > 0;
        out.colorTable.resize(static_cast<std::size_t>(count) * 4);
        for (int i = 0; i < count; ++i) {
            std::uint8_t* entry = &out.colorTable[static_cast<std::size_t>(i) * 4];
            entry[0] = palette[i].red;
            entry[1] = palette[i].green;
            entry[2] = palette[i].blue;
            entry[3] = i < alphaCount ? alpha[i] : 0xFF;
        }
    }

    // Not zero-filled: a file that claims a huge size but ends early touches no more
    // memory than the rows it really holds.
    out.pixels = std::make_unique_for_overwrite<std::uint8_t[]>(rowBytes * out.height);
    out.rows.resize(out.height);
    for (std::uint32_t y = 0; y < out.height; ++y) out.rows[y] = out.pixels.get() + y * rowBytes;
    if (sink != nullptr) sink->start(out);
    if (passes == 1 && sink != nullptr) {
        // Row by row, so that the sink can use the first rows while the others decode.
        constexpr std::uint32_t kRowsPerReport = 16;
        for (std::uint32_t y = 0; y < out.height; ++y) {
            png_read_row(png, out.rows[y], nullptr);
            if ((y + 1) % kRowsPerReport == 0 || y + 1 == out.height) sink->rowsDecoded(out, y + 1);
        }
    } else {
        png_read_image(png, out.rows.data());
        if (sink != nullptr) sink->rowsDecoded(out, out.height);
    }
    // The chunks after the image data are not read: a file cut short after its last
    // image row still gives the whole picture.
    return true;
}

// The DefineBitsLossless body of a picture (character id 0), built as its rows are
// decoded: each row is put in the bitmap's layout as soon as it is there, and the pixel
// data is compressed block by block as soon as a block is whole.
class LosslessBody final : public RowSink {
public:
    void start(const Decoded& picture) override {
        const std::size_t w = picture.width;
        writeUI16(header_, 0);  // the character id, set by the tag
        if (picture.isPalette) {
            const std::size_t entries = picture.colorTable.size() / 4;
            header_.push_back(kFormatColorMapped);
            writeUI16(header_, picture.width);
            writeUI16(header_, picture.height);
            header_.push_back(static_cast<std::uint8_t>(entries - 1));
            // The colour table: RGB, or RGBA premultiplied when entries are transparent.
            for (std::size_t i = 0; i < entries; ++i) {
                const std::uint8_t* e = &picture.colorTable[i * 4];
                if (picture.hasAlpha) {
                    raw_.insert(raw_.end(),
                                {premultiply(e[0], e[3]), premultiply(e[1], e[3]), premultiply(e[2], e[3]), e[3]});
                } else {
                    raw_.insert(raw_.end(), {e[0], e[1], e[2]});
                }
            }
            // One index per pixel, each row padded with zeros to a multiple of 4 bytes.
            stride_ = (w + 3) / 4 * 4;
        } else {
            header_.push_back(kFormatArgb);
            writeUI16(header_, picture.width);
            writeUI16(header_, picture.height);
            stride_ = w * 4;
        }
        tableBytes_ = raw_.size();
        raw_.resize(tableBytes_ + stride_ * picture.height, 0);
        compressor_ = std::make_unique<ZlibCompressor>(raw_);
    }

    void rowsDecoded(const Decoded& picture, std::uint32_t rows) override {
        const std::size_t w = picture.width;
        for (; converted_ < rows; ++converted_) {
            const std::uint8_t* in = picture.rows[converted_];
            std::uint8_t* out = &raw_[tableBytes_ + converted_ * stride_];
            if (picture.isPalette) {
                std::memcpy(out, in, w);
                continue;
            }
            // Alpha, red, green, blue per pixel. Without an alpha channel the first byte
            // is the format's reserved 0; with one, colours are premultiplied by alpha.
            for (std::size_t x = 0; x < w; ++x, out += 4) {
                if (picture.hasAlpha) {
                    const std::uint8_t a = in[3];
                    out[0] = a;
                    out[1] = premultiply(in[0], a);
                    out[2] = premultiply(in[1], a);
                    out[3] = premultiply(in[2], a);
                    in += 4;
                } else {
                    out[0] = 0;
                    out[1] = in[0];
                    out[2] = in[1];
                    out[3] = in[2];
                    in += 3;
                }
            }
        }
        compressor_->available(tableBytes_ + rows * stride_);
    }

    // The body, once every row is there.
    Bytes finish() { return compressor_->finish(std::move(header_)); }

private:
    Bytes header_;
    Bytes raw_;
    std::size_t tableBytes_ = 0;
    std::size_t stride_ = 0;
    std::uint32_t converted_ = 0;
    std::unique_ptr<ZlibCompressor> compressor_;
};

}  // namespace

Result<PngImageImpl> PngImageImpl::read(const std::string& path, BodyWhileDecoding withBody) {
    auto data = readFileBytes(path);
    if (!data) return Report(data.report()).fail(missingPictureMessage(path));
    return decode(*data, path, withBody);
}

Result<PngImageImpl> PngImageImpl::decode(ByteSpan png, const std::string& path, BodyWhileDecoding withBody) {
    PngImageImpl image;
    Report report = image.decodeData(png, path, withBody);
    if (report.failed()) return report;
    return image;
}

Report PngImageImpl::decodeData(ByteSpan data, const std::string& path, BodyWhileDecoding withBody) {
    if (const std::string chunk = unreadableStart(data); !chunk.empty()) {
        return Report::failure(text("png.undecodable", {path, chunk})).fail(text("png.invalid", {path, chunk}));
    }
    ReadState state;
    state.data = data.data();
    state.size = data.size();
    PngStructs structs;
    structs.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, onError, onWarning);
    if (structs.png == nullptr)
        return Report::failure(text("reason.outOfMemory", {path})).fail(text("png.noReadStruct"));
    structs.info = png_create_info_struct(structs.png);
    if (structs.info == nullptr)
        return Report::failure(text("reason.outOfMemory", {path})).fail(text("png.noInfoStruct"));
    png_set_read_fn(structs.png, &state, onRead);

    Decoded decoded;
    std::optional<LosslessBody> body;
    if (withBody == BodyWhileDecoding::Yes) body.emplace();
    bool ok = false;
    try {
        ok = decodeRows(structs.png, structs.info, data.size(), decoded, body ? &*body : nullptr);
        if (ok && body) body_ = body->finish();
    } catch (const std::bad_alloc&) {
        return Report::failure(text("picture.notInMemory", {path})).fail(outOfMemoryMessage(path));
    }
    if (decoded.tooLarge) return checkPictureSize(path, decoded.width, decoded.height);
    if (!ok) {
        // libpng's own words stay as they are; the program's own are worded like the rest.
        const std::string why = state.ownReason != nullptr ? text(state.ownReason) : std::string(state.message);
        return Report::failure(text("png.undecodable", {path, why})).fail(text("png.invalid", {path, why}));
    }
    width_ = decoded.width;
    height_ = decoded.height;
    isPalette_ = decoded.isPalette;
    hasAlpha_ = decoded.hasAlpha;
    colorTable_ = std::move(decoded.colorTable);
    pixels_ = std::move(decoded.pixels);
    orientation_ = pngOrientation(data);
    return {};
}

Bytes PngImageImpl::buildLosslessBody() const {
    // The body built while decoding is handed over; a later call builds it again.
    if (!body_.empty()) return std::exchange(body_, {});
    // The rows are all there: the body is built as the decoding would have built it.
    Decoded picture;
    picture.width = width_;
    picture.height = height_;
    picture.isPalette = isPalette_;
    picture.hasAlpha = hasAlpha_;
    picture.colorTable = colorTable_;
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * (isPalette_ ? 1 : hasAlpha_ ? 4 : 3);
    for (std::uint32_t y = 0; y < height_; ++y) picture.rows.push_back(pixels_.get() + y * rowBytes);
    try {
        LosslessBody body;
        body.start(picture);
        body.rowsDecoded(picture, height_);
        return body.finish();
    } catch (const std::bad_alloc&) {
        return {};
    }
}

std::unique_ptr<SWFLosslessImage> losslessImageFromPng(std::uint16_t characterId, const PngImage& image) {
    Bytes body = image.buildLosslessBody();
    if (body.size() < 2) return nullptr;
    body[0] = static_cast<std::uint8_t>(characterId & 0xFF);
    body[1] = static_cast<std::uint8_t>(characterId >> 8);
    const TagCode code = image.usesAlpha() ? TagCode::DefineBitsLossless2 : TagCode::DefineBitsLossless;
    return std::make_unique<SWFLosslessImage>(code, std::move(body));
}

}  // namespace tarvenox
