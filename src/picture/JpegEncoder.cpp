// Encoding pixels as a baseline JPEG with libjpeg-turbo.
#include "picture/JpegEncoder.h"

#include <cstdlib>

#include "picture/JpegErrors.h"

namespace tarvenox {

namespace {

// Everything between setjmp and the last libjpeg call. Nothing here has a destructor;
// libjpeg allocates the output (*buffer), which the caller frees.
bool encodeWithLibjpeg(jpeg_compress_struct& info, jpeg::ErrorState& error, const SmallerPicture& picture, int quality,
                       unsigned char** buffer, unsigned long* size) {
    if (setjmp(error.jump)) return false;
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = picture.width;
    info.image_height = picture.height;
    info.input_components = picture.components;
    info.in_color_space = picture.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.dct_method = JDCT_ISLOW;
    jpeg_start_compress(&info, TRUE);
    const std::size_t stride = std::size_t{picture.width} * static_cast<std::size_t>(picture.components);
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPLE*>(picture.pixels.data() + info.next_scanline * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}

}  // namespace

Bytes encodeJpeg(const SmallerPicture& picture, int quality) {
    if (picture.components != 1 && picture.components != 3) return {};
    const std::size_t samples =
        std::size_t{picture.width} * picture.height * static_cast<std::size_t>(picture.components);
    if (samples == 0 || picture.pixels.size() != samples) return {};
    jpeg_compress_struct info{};
    jpeg::ErrorState error{};
    info.err = jpeg::errorsTo(error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = encodeWithLibjpeg(info, error, picture, quality, &buffer, &size);
    jpeg_destroy_compress(&info);
    Bytes out;
    if (ok && buffer != nullptr) out.assign(buffer, buffer + size);
    std::free(buffer);
    return out;
}

}  // namespace tarvenox
