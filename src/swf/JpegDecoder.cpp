// Decoding a JPEG stream with libjpeg-turbo.
#include "swf/JpegDecoder.h"

// jpeglib.h needs FILE and size_t declared first.
#include <cstddef>
#include <cstdio>
#include <csetjmp>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

#include "swf/PictureLimits.h"

namespace tarvenox {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return; it
// leaves through longjmp to the setjmp in decodeJpeg. Plain data only: the jump must
// not skip a destructor.
struct ErrorState {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void onError(j_common_ptr info) {
    auto* state = reinterpret_cast<ErrorState*>(info->err);
    info->err->format_message(info, state->message);
    std::longjmp(state->jump, 1);
}

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

// Everything between setjmp and the last libjpeg call. Nothing here has a destructor.
bool decodeWithLibjpeg(jpeg_decompress_struct& info, ErrorState& error, ByteSpan data,
                       JpegDecodeResult& out) {
    if (setjmp(error.jump)) return false;
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        std::snprintf(error.message, sizeof error.message, "no picture in the data");
        return false;
    }
    out.width = info.image_width;
    out.height = info.image_height;
    if (info.progressive_mode) {
        out.verdict = JpegDecodeResult::Verdict::Progressive;
        return true;
    }
    if (out.width == 0 || out.height == 0) {
        std::snprintf(error.message, sizeof error.message, "the frame is empty (%u x %u)",
                      out.width, out.height);
        return false;
    }
    if (pictureSizeProblem("", out.width, out.height)) {
        out.verdict = JpegDecodeResult::Verdict::TooLarge;
        return true;
    }
    if (info.data_precision != 8) {
        std::snprintf(error.message, sizeof error.message, "%d-bit samples (players show 8-bit)",
                      info.data_precision);
        return false;
    }
    if (info.num_components != 1 && info.num_components != 3) {
        std::snprintf(error.message, sizeof error.message,
                      "%d colour components (players show grey or colour, 1 or 3; "
                      "CMYK is not shown)",
                      info.num_components);
        return false;
    }
    info.scale_num = 1;
    info.scale_denom = 8;
    info.dct_method = JDCT_IFAST;
    info.do_fancy_upsampling = FALSE;
    info.out_color_space = JCS_GRAYSCALE;
    jpeg_start_decompress(&info);
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               info.output_width * info.output_components, 1);
    while (info.output_scanline < info.output_height) jpeg_read_scanlines(&info, row, 1);
    // Reads on to the end-of-image marker; a file without one ends in a warning above.
    jpeg_finish_decompress(&info);
    out.verdict = JpegDecodeResult::Verdict::Decodes;
    return true;
}

}  // namespace

JpegDecodeResult decodeJpeg(ByteSpan data) {
    JpegDecodeResult out;
    if (data.empty()) {
        out.detail = "the file is empty";
        return out;
    }
    jpeg_decompress_struct info {};
    ErrorState error {};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = onError;
    error.manager.emit_message = onMessage;
    jpeg_create_decompress(&info);
    // libjpeg's working memory; far more than a picture within the limits needs.
    info.mem->max_memory_to_use = 256L << 20;
    const bool ok = decodeWithLibjpeg(info, error, data, out);
    jpeg_destroy_decompress(&info);
    if (!ok) {
        out.verdict = JpegDecodeResult::Verdict::Broken;
        out.detail = error.message;
    }
    return out;
}

}  // namespace tarvenox
