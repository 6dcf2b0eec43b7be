// Decoding a JPEG stream with libjpeg-turbo.
#include "picture/JpegDecoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "common/Texts.h"
#include "picture/JpegErrors.h"
#include "picture/PictureLimits.h"

namespace tarvenox {

namespace {

using jpeg::ErrorState;
using jpeg::onError;

// Warnings that real files carry without being damaged.
bool harmlessWarning(int code) {
    return code == JWRN_EXTRANEOUS_DATA || code == JWRN_ADOBE_XFORM || code == JWRN_JFIF_MAJOR;
}

// Level -1 is a warning about the data (a file cut short, a bad Huffman code): libjpeg
// would go on and fill the picture in grey, so those end the decoding as errors. Trace
// messages (levels 0 and up) are ignored.
void onMessage(j_common_ptr info, int level) {
    if (level == -1 && !harmlessWarning(info->err->msg_code)) onError(info);
}

// Sets smaller aside for the output that info's settings give; false when the memory
// cannot be had (the check then goes on without the smaller copy).
bool keepRows(const jpeg_decompress_struct& info, SmallerPicture& smaller) {
    try {
        smaller.pixels.resize(std::size_t{info.output_width} * info.output_height * info.output_components);
    } catch (const std::bad_alloc&) {
        smaller.pixels.clear();
        return false;
    }
    smaller.width = info.output_width;
    smaller.height = info.output_height;
    smaller.components = info.output_components;
    return true;
}

// A refusal that is this program's own, not libjpeg's: the catalogue id of its text and the
// numbers it names. Plain data, so that it can be set between setjmp and longjmp.
struct OwnReason {
    const char* id = nullptr;
    unsigned first = 0;
    unsigned second = 0;
};

// Everything between setjmp and the last libjpeg call. Nothing here has a destructor.
bool decodeWithLibjpeg(jpeg_decompress_struct& info, ErrorState& error, ByteSpan data, JpegDecodeResult& out,
                       SmallerPicture* smaller, OwnReason& own) {
    if (setjmp(error.jump)) return false;
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        own = {"jpeg.noPicture"};
        return false;
    }
    out.width = info.image_width;
    out.height = info.image_height;
    if (info.progressive_mode) {
        out.verdict = JpegDecodeResult::Verdict::Progressive;
        return true;
    }
    if (out.width == 0 || out.height == 0) {
        own = {"jpeg.emptyFrame", out.width, out.height};
        return false;
    }
    if (!pictureFits(out.width, out.height)) {
        out.verdict = JpegDecodeResult::Verdict::TooLarge;
        return true;
    }
    if (info.data_precision != 8) {
        own = {"jpeg.sampleBits", static_cast<unsigned>(info.data_precision)};
        return false;
    }
    if (info.num_components != 1 && info.num_components != 3) {
        own = {"jpeg.components", static_cast<unsigned>(info.num_components)};
        return false;
    }
    info.scale_denom = 8;
    info.dct_method = JDCT_IFAST;
    info.do_fancy_upsampling = FALSE;
    // The smallest scale of M/8 at which the longer side still reaches kSmallerSide:
    // libjpeg-turbo's scaled inverse DCT makes it in the same pass. At 8/8 there is
    // nothing to gain.
    const std::uint32_t longer = std::max(out.width, out.height);
    const std::uint32_t eighths = (kSmallerSide * 8 + longer - 1) / longer;
    if (smaller != nullptr && eighths < 8) {
        info.scale_num = eighths;
        info.out_color_space = info.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
        jpeg_calc_output_dimensions(&info);
        if (!keepRows(info, *smaller)) {
            info.scale_num = 1;
            info.out_color_space = JCS_GRAYSCALE;
        }
    } else {
        info.scale_num = 1;
        info.out_color_space = JCS_GRAYSCALE;
    }
    jpeg_start_decompress(&info);
    if (smaller != nullptr && !smaller->pixels.empty()) {
        const std::size_t stride = std::size_t{info.output_width} * info.output_components;
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = smaller->pixels.data() + info.output_scanline * stride;
            jpeg_read_scanlines(&info, &row, 1);
        }
    } else {
        JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                   info.output_width * info.output_components, 1);
        while (info.output_scanline < info.output_height) jpeg_read_scanlines(&info, row, 1);
    }
    // Reads on to the end-of-image marker; a file without one ends in a warning above.
    jpeg_finish_decompress(&info);
    out.verdict = JpegDecodeResult::Verdict::Decodes;
    return true;
}

}  // namespace

JpegDecodeResult decodeJpeg(ByteSpan data, SmallerPicture* smaller) {
    JpegDecodeResult out;
    if (smaller != nullptr) *smaller = {};
    if (data.empty()) {
        out.detail = text("jpeg.emptyFile");
        return out;
    }
    jpeg_decompress_struct info{};
    ErrorState error{};
    info.err = jpeg::errorsTo(error);
    error.manager.emit_message = onMessage;
    jpeg_create_decompress(&info);
    // libjpeg's working memory; far more than a picture within the limits needs.
    info.mem->max_memory_to_use = 256L << 20;
    OwnReason own;
    const bool ok = decodeWithLibjpeg(info, error, data, out, smaller, own);
    jpeg_destroy_decompress(&info);
    // Rows of a picture that turned out broken are no copy of it.
    if (smaller != nullptr && (!ok || out.verdict != JpegDecodeResult::Verdict::Decodes)) *smaller = {};
    if (!ok) {
        out.verdict = JpegDecodeResult::Verdict::Broken;
        out.detail = own.id == nullptr ? std::string(error.message)
                                       : text(own.id, {std::to_string(own.first), std::to_string(own.second)});
    }
    return out;
}

}  // namespace tarvenox
