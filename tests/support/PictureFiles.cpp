// Encodes PNG and JPEG pictures in memory for tests.
#include "support/PictureFiles.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace tarvenox::test {

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

}  // namespace

Bytes encodePng(const PngPicture& picture) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("encodePng: libpng refused the picture");
    }
    png_set_write_fn(png, &out, appendBytes, flushNothing);
    png_set_IHDR(png, info, picture.width, picture.height, picture.bitDepth, picture.colorType,
                 picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (std::size_t i = 0; i + 2 < picture.palette.size(); i += 3) {
        palette.push_back({picture.palette[i], picture.palette[i + 1], picture.palette[i + 2]});
    }
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!picture.paletteAlpha.empty()) {
        png_set_tRNS(png, info, picture.paletteAlpha.data(), static_cast<int>(picture.paletteAlpha.size()), nullptr);
    } else if (!picture.transparentColor.empty()) {
        png_color_16 colour{};
        colour.gray = picture.transparentColor[0];
        if (picture.transparentColor.size() == 3) {
            colour.red = picture.transparentColor[0];
            colour.green = picture.transparentColor[1];
            colour.blue = picture.transparentColor[2];
        }
        png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    std::vector<png_bytep> rows;
    for (const auto& row : picture.rows) rows.push_back(const_cast<png_bytep>(row.data()));
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

namespace {

// Compresses the rows that row(y, samples) fills, components samples per pixel.
template <typename Row>
Bytes compressJpeg(int width, int height, int components, int quality, bool progressive, Row row) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> samples(static_cast<std::size_t>(width) * components);
    while (cinfo.next_scanline < cinfo.image_height) {
        row(cinfo.next_scanline, samples);
        JSAMPROW rowPointer = samples.data();
        jpeg_write_scanlines(&cinfo, &rowPointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

}  // namespace

Bytes encodeJpeg(int width, int height, bool progressive, int components) {
    return compressJpeg(width, height, components, 80, progressive, [](JDIMENSION y, std::vector<JSAMPLE>& row) {
        for (std::size_t i = 0; i < row.size(); ++i) row[i] = static_cast<JSAMPLE>((i + y) & 0xFF);
    });
}

Bytes encodeJpegRgb(int width, int height, const Bytes& rgb, int quality) {
    return compressJpeg(width, height, 3, quality, false, [&](JDIMENSION y, std::vector<JSAMPLE>& row) {
        std::copy_n(rgb.begin() + static_cast<std::ptrdiff_t>(y * row.size()), row.size(), row.begin());
    });
}

Bytes inflate(ByteSpan data, std::size_t offset, std::size_t expectedSize) {
    if (offset > data.size()) return {};
    Bytes out(expectedSize + 1);
    uLongf outSize = out.size();
    if (uncompress(out.data(), &outSize, data.data() + offset, data.size() - offset) != Z_OK) return {};
    out.resize(outSize);
    return out;
}

}  // namespace tarvenox::test
