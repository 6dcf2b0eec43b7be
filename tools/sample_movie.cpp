// Writes a small sample movie: a background colour, an exported lossless bitmap shown by
// a bitmap-filled shape, and a DoAction. Used by the README's first command until the
// demo installation exists.
#include <cstdio>
#include <zlib.h>

#include "swf/ByteIO.h"
#include "swf/SWFBitWriter.h"
#include "swf/SWFFile.h"
#include "swf/SWFMatrix.h"
#include "swf/TagFactory.h"

using namespace tarvenox;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: sample_movie OUT.swf\n");
        return 2;
    }
    SWFFile movie(6, SWFRect{0, 11000, 0, 8000, 0}, 12.0, 1);
    auto add = [&](TagCode code, Bytes body) {
        movie.tags().push_back(createTag(static_cast<int>(code), std::move(body)));
    };
    add(TagCode::SetBackgroundColor, {0x33, 0x66, 0x99});

    // A 4 x 4 opaque bitmap, 32-bit ARGB pixels.
    Bytes pixels;
    for (int i = 0; i < 16; ++i) pixels.insert(pixels.end(), {0xFF, static_cast<std::uint8_t>(i * 16), 0x80, 0x40});
    uLongf packedSize = compressBound(pixels.size());
    Bytes packed(packedSize);
    compress2(packed.data(), &packedSize, pixels.data(), pixels.size(), 9);
    packed.resize(packedSize);
    Bytes bitmap;
    writeUI16(bitmap, 1);
    bitmap.push_back(5);
    writeUI16(bitmap, 4);
    writeUI16(bitmap, 4);
    bitmap.insert(bitmap.end(), packed.begin(), packed.end());
    add(TagCode::DefineBitsLossless, bitmap);

    // A 100 x 100 pixel square filled with the bitmap scaled 25 times (20 twips a pixel).
    SWFBitWriter shape;
    shape.writeAlignedUI16(2);
    SWFRect bounds{0, 2000, 0, 2000, 0};
    bounds.write(shape);
    shape.writeAlignedByte(1);     // one fill style
    shape.writeAlignedByte(0x41);  // clipped bitmap
    shape.writeAlignedUI16(1);
    SWFMatrix fill;
    fill.hasScale = true;
    fill.scaleX = fill.scaleY = 500 << 16;
    fill.write(shape);
    shape.writeAlignedByte(0);     // no line styles
    shape.writeAlignedByte(0x10);  // one fill bit, no line bits
    // Style change: move to (0, 0), fill style 1.
    shape.writeBits(6, 0b000011);
    shape.writeBits(5, 0);
    shape.writeBits(1, 1);
    // Four straight edges around the square.
    const int edges[4][2] = {{2000, 0}, {0, 2000}, {-2000, 0}, {0, -2000}};
    for (const auto& edge : edges) {
        shape.writeBits(2, 0b11);
        shape.writeBits(4, 13 - 2);
        shape.writeBits(1, 0);
        shape.writeBits(1, edge[0] == 0 ? 1 : 0);
        shape.writeSignedBits(13, edge[0] == 0 ? edge[1] : edge[0]);
    }
    shape.writeBits(6, 0);  // end of shape
    add(TagCode::DefineShape, shape.take());

    Bytes place;
    writeUI16(place, 2);  // character id
    writeUI16(place, 1);  // depth
    place.push_back(0);   // identity matrix
    add(TagCode::PlaceObject, place);

    Bytes exports;
    writeUI16(exports, 1);
    writeUI16(exports, 1);
    for (char c : std::string("logo")) exports.push_back(static_cast<std::uint8_t>(c));
    exports.push_back(0);
    add(TagCode::ExportAssets, exports);
    add(TagCode::DoAction, {0x00});
    add(TagCode::ShowFrame, {});

    std::string error;
    if (!movie.write(argv[1], &error)) {
        std::fprintf(stderr, "sample_movie: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
