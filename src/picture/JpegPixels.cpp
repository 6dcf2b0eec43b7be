// A JPEG decoded for scaling, with libjpeg-turbo.
#include "picture/JpegPixels.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "picture/ExifOrientation.h"
#include "picture/JpegErrors.h"

namespace tarvenox {

namespace {

// The luminance table of the JPEG standard (Annex K, table K.1), in natural order: the
// table libjpeg scales for its quality settings.
constexpr std::uint16_t kStandardLuminance[64] = {
    16, 11,  10,  16, 24, 40, 51, 61, 12,  12,  14,  19,  26, 58, 60, 55,  14,  13,  16,  24, 40, 57,
    69, 56,  14,  17, 22, 29, 51, 87, 80,  62,  18,  22,  37, 56, 68, 109, 103, 77,  24,  35, 55, 64,
    81, 104, 113, 92, 49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98,  112, 100, 103, 99};

// Everything between setjmp and the last libjpeg call; nothing here has a destructor.
bool readHeader(jpeg_decompress_struct& info, jpeg::ErrorState& error, ByteSpan data) {
    if (setjmp(error.jump)) return false;
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
    return jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK && info.image_width > 0 && info.image_height > 0 &&
           (info.num_components == 1 || info.num_components == 3);
}

bool decodeRows(jpeg_decompress_struct& info, jpeg::ErrorState& error, double scale, PicturePixels& out) {
    if (setjmp(error.jump)) return false;
    info.scale_num = static_cast<unsigned>(std::clamp(static_cast<int>(std::ceil(scale * 8 - 1e-9)), 1, 8));
    info.scale_denom = 8;
    info.out_color_space = info.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    info.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&info);
    out.width = info.output_width;
    out.height = info.output_height;
    out.channels = info.output_components;
    try {
        out.samples.resize(out.rowBytes() * out.height);
    } catch (const std::bad_alloc&) {
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.samples.data() + info.output_scanline * out.rowBytes();
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

// libjpeg's errors jump back; its warnings are not printed. The data was checked when the
// file was chosen; a picture that does not decode here is installed as it is.
void quietErrors(jpeg_decompress_struct& info, jpeg::ErrorState& error) {
    info.err = jpeg::errorsTo(error);
    info.err->emit_message = [](j_common_ptr, int) {};
}

}  // namespace

int estimateJpegQuality(const std::uint16_t (&table)[64]) {
    // libjpeg makes each entry (standard * factor + 50) / 100, with factor 5000 / q below
    // quality 50 and 200 - 2q from there; the mean ratio gives the factor back.
    double factor = 0;
    for (int i = 0; i < 64; ++i) factor += 100.0 * table[i] / kStandardLuminance[i];
    factor /= 64;
    const double quality = factor <= 100 ? (200 - factor) / 2 : 5000 / factor;
    return std::clamp(static_cast<int>(std::lround(quality)), 1, 100);
}

std::optional<JpegHeader> readJpegHeader(ByteSpan jpeg) {
    jpeg_decompress_struct info{};
    jpeg::ErrorState error{};
    quietErrors(info, error);
    jpeg_create_decompress(&info);
    std::optional<JpegHeader> header;
    if (readHeader(info, error, jpeg)) {
        header.emplace();
        header->width = info.image_width;
        header->height = info.image_height;
        header->components = info.num_components;
        for (jpeg_saved_marker_ptr marker = info.marker_list; marker != nullptr; marker = marker->next) {
            if (marker->marker != JPEG_APP0 + 1) continue;
            const int orientation = exifOrientation(ByteSpan(marker->data, marker->data_length));
            if (orientation != 1) header->orientation = orientation;
        }
        if (const JQUANT_TBL* table = info.quant_tbl_ptrs[0]) {
            std::uint16_t values[64];
            std::copy(std::begin(table->quantval), std::end(table->quantval), values);
            header->quality = estimateJpegQuality(values);
        }
    }
    jpeg_destroy_decompress(&info);
    return header;
}

std::optional<PicturePixels> decodeJpegPixels(ByteSpan jpeg, double scale) {
    jpeg_decompress_struct info{};
    jpeg::ErrorState error{};
    quietErrors(info, error);
    jpeg_create_decompress(&info);
    PicturePixels out;
    const bool ok = readHeader(info, error, jpeg) && decodeRows(info, error, scale, out);
    jpeg_destroy_decompress(&info);
    if (!ok) return std::nullopt;
    return out;
}

}  // namespace tarvenox
