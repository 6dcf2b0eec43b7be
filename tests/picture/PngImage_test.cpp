// PNG pictures decoded with libpng and turned into DefineBitsLossless bodies.
#include <gtest/gtest.h>

#include <algorithm>

#include <png.h>
#include <zlib.h>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "common/Texts.h"
#include "picture/PngImage.h"
#include "support/MovieBuilder.h"
#include "support/PictureFiles.h"
#include "support/TextOpening.h"
#include "swf/SWFLosslessImage.h"

namespace tarvenox {
namespace {

using test::encodePng;
using test::operator+;
using test::inflate;
using test::PngPicture;

// A body's fixed fields and its inflated pixel data.
struct Lossless {
    int code = 0;
    std::uint8_t format = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    int tableSize = 0;  // format 3 only
    Bytes data;
};

Lossless convert(const PngPicture& picture, std::size_t expectedData) {
    const Bytes png = encodePng(picture);
    auto image = PngImageImpl::decode(png, "test.png");
    EXPECT_TRUE(image) << image.report().text();
    if (!image) return {};
    // Built while the rows decode, the body is the same.
    EXPECT_EQ(PngImageImpl::decode(png, "test.png", PngImageImpl::BodyWhileDecoding::Yes)->buildLosslessBody(),
              image->buildLosslessBody());
    auto tag = losslessImageFromPng(7, *image);
    if (!tag) return {};
    ByteSpan body = tag->body();
    EXPECT_EQ(tag->characterId(), 7);
    Lossless out;
    out.code = static_cast<int>(tagNumber(tag->code()));
    out.format = body[2];
    out.width = peekUI16(body, 3);
    out.height = peekUI16(body, 5);
    std::size_t offset = 7;
    if (out.format == 3) out.tableSize = body[offset++] + 1;
    out.data = inflate(body, offset, expectedData);
    EXPECT_EQ(out.data.size(), expectedData);
    return out;
}

Bytes rgbaRow(std::initializer_list<std::uint8_t> samples) { return Bytes(samples); }

TEST(PngImage, PaletteOf16ColoursGivesTableAndPaddedIndexRows) {
    PngPicture picture{.width = 3, .height = 2, .colorType = PNG_COLOR_TYPE_PALETTE};
    for (int i = 0; i < 16; ++i) {
        picture.palette.insert(picture.palette.end(), {std::uint8_t(i), std::uint8_t(i * 2), std::uint8_t(i * 3)});
    }
    picture.rows = {{1, 2, 3}, {15, 0, 7}};
    auto out = convert(picture, 48 + 8);
    EXPECT_EQ(out.code, 20);
    EXPECT_EQ(out.format, 3);
    EXPECT_EQ(out.width, 3);
    EXPECT_EQ(out.height, 2);
    EXPECT_EQ(out.tableSize, 16);
    EXPECT_EQ(Bytes(out.data.begin(), out.data.begin() + 48), picture.palette);
    EXPECT_EQ(Bytes(out.data.begin() + 48, out.data.end()), (Bytes{1, 2, 3, 0, 15, 0, 7, 0}));
}

TEST(PngImage, PalettesBelowEightBitsAreUnpackedToOneIndexPerPixel) {
    // Two bits per index: 5 pixels 3, 2, 1, 0, 3 packed as 0b11'10'01'00, 0b11'000000.
    PngPicture picture{.width = 5, .height = 1, .colorType = PNG_COLOR_TYPE_PALETTE, .bitDepth = 2};
    picture.palette = Bytes(12, 0x40);
    picture.rows = {{0b11'10'01'00, 0b11'00'00'00}};
    auto out = convert(picture, 12 + 8);
    EXPECT_EQ(out.tableSize, 4);
    EXPECT_EQ(Bytes(out.data.begin() + 12, out.data.end()), (Bytes{3, 2, 1, 0, 3, 0, 0, 0}));
}

TEST(PngImage, TransparentPaletteGivesLossless2WithPremultipliedRgbaTable) {
    PngPicture picture{.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_PALETTE};
    picture.palette = {10, 20, 30, 200, 100, 50, 1, 2, 3};
    picture.paletteAlpha = {0, 128};  // the third entry stays opaque
    picture.rows = {{1, 2}};
    auto out = convert(picture, 12 + 4);
    EXPECT_EQ(out.code, 36);
    EXPECT_EQ(out.format, 3);
    EXPECT_EQ(out.tableSize, 3);
    EXPECT_EQ(Bytes(out.data.begin(), out.data.begin() + 12), (Bytes{0, 0, 0, 0, 100, 50, 25, 128, 1, 2, 3, 255}));
}

TEST(PngImage, RgbaGivesLossless2WithPremultipliedArgb) {
    PngPicture picture{.width = 3, .height = 1, .colorType = PNG_COLOR_TYPE_RGBA};
    picture.rows = {rgbaRow({10, 20, 30, 0, 10, 20, 30, 128, 10, 20, 30, 255})};
    auto out = convert(picture, 12);
    EXPECT_EQ(out.code, 36);
    EXPECT_EQ(out.format, 5);
    EXPECT_EQ(out.data, (Bytes{0, 0, 0, 0, 128, 5, 10, 15, 255, 10, 20, 30}));
}

TEST(PngImage, RgbGivesLosslessWithZeroReservedByte) {
    PngPicture picture{.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_RGB};
    picture.rows = {{1, 2, 3, 250, 251, 252}};
    auto out = convert(picture, 8);
    EXPECT_EQ(out.code, 20);
    EXPECT_EQ(out.format, 5);
    EXPECT_EQ(out.data, (Bytes{0, 1, 2, 3, 0, 250, 251, 252}));
}

TEST(PngImage, OtherKindsAreExpandedToTruecolour) {
    struct Case {
        const char* name;
        PngPicture picture;
        int code;
        Bytes pixels;
    };
    const Case cases[] = {
        {"grey",
         {.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .rows = {{7, 200}}},
         20,
         {0, 7, 7, 7, 0, 200, 200, 200}},
        {"grey 1-bit",
         {.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .bitDepth = 1, .rows = {{0b10'000000}}},
         20,
         {0, 255, 255, 255, 0, 0, 0, 0}},
        {"grey with alpha",
         {.width = 1, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY_ALPHA, .rows = {{100, 51}}},
         36,
         {51, 20, 20, 20}},
        {"16-bit rgb",
         {.width = 1,
          .height = 1,
          .colorType = PNG_COLOR_TYPE_RGB,
          .bitDepth = 16,
          .rows = {{0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00}}},
         20,
         {0, 255, 128, 0}},
        {"16-bit rgba",
         {.width = 1,
          .height = 1,
          .colorType = PNG_COLOR_TYPE_RGBA,
          .bitDepth = 16,
          .rows = {{0xFF, 0xFF, 0, 0, 0, 0, 0x80, 0x00}}},
         36,
         {128, 128, 0, 0}},
        {"rgb with transparent colour",
         {.width = 2,
          .height = 1,
          .colorType = PNG_COLOR_TYPE_RGB,
          .rows = {{1, 2, 3, 4, 5, 6}},
          .transparentColor = {1, 2, 3}},
         36,
         {0, 0, 0, 0, 255, 4, 5, 6}},
        {"grey with transparent grey",
         {.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .rows = {{9, 10}}, .transparentColor = {9}},
         36,
         {0, 0, 0, 0, 255, 10, 10, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto out = convert(c.picture, c.pixels.size());
        EXPECT_EQ(out.code, c.code);
        EXPECT_EQ(out.format, 5);
        EXPECT_EQ(out.data, c.pixels);
    }
}

// A 47 x 33 gradient: odd sizes catch stride and row-order mistakes.
TEST(PngImage, InterlacedAndPlainPicturesGiveTheSamePixels) {
    PngPicture picture{.width = 47, .height = 33, .colorType = PNG_COLOR_TYPE_RGBA};
    Bytes expected;
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        Bytes row;
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            const auto r = std::uint8_t(x * 5), g = std::uint8_t(y * 7), b = std::uint8_t(x ^ y);
            row.insert(row.end(), {r, g, b, 255});
            expected.insert(expected.end(), {255, r, g, b});
        }
        picture.rows.push_back(row);
    }
    auto plain = convert(picture, expected.size());
    picture.interlaced = true;
    auto interlaced = convert(picture, expected.size());
    EXPECT_EQ(plain.width, 47);
    EXPECT_EQ(plain.height, 33);
    EXPECT_EQ(plain.data, expected);
    EXPECT_EQ(interlaced.data, expected);
}

Bytes smallRgbPng() {
    return encodePng({.width = 2, .height = 2, .colorType = PNG_COLOR_TYPE_RGB, .rows = {Bytes(6, 9), Bytes(6, 9)}});
}

// A chunk: length, type, data, CRC of type and data (all big-endian).
Bytes pngChunk(const char* type, const Bytes& data) {
    auto be32 = [](std::uint32_t v) {
        return Bytes{std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
    };
    Bytes typed(4 + data.size());
    std::copy(type, type + 4, typed.begin());
    std::copy(data.begin(), data.end(), typed.begin() + 4);
    return be32(static_cast<std::uint32_t>(data.size())) + typed +
           be32(static_cast<std::uint32_t>(crc32(0, typed.data(), typed.size())));
}

// The signature, IHDR for an 8-bit RGB picture of the given size and an empty IDAT:
// enough for libpng to report the size.
Bytes pngHeaderOnly(std::uint32_t width, std::uint32_t height) {
    Bytes ihdr;
    for (std::uint32_t v : {width, height}) {
        ihdr.insert(ihdr.end(), {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)});
    }
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
    return Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'} + pngChunk("IHDR", ihdr) + pngChunk("IDAT", {});
}

TEST(PngImage, BrokenFilesAreRefusedWithAMessageNamingTheFile) {
    const Bytes good = smallRgbPng();
    Bytes badCrc = good;
    badCrc[29] ^= 0xFF;  // inside the IHDR CRC
    struct Case {
        const char* name;
        Bytes data;
        std::string text;
    };
    const Case cases[] = {
        {"empty", {}, test::textOpening("png.invalid", "pic.png")},
        // Another kind of file is named as such, not by the chunks its bytes would make.
        {"not a PNG", Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 9, 'G', 'I', 'F'},
         text("png.invalid", {"pic.png", text("png.noSignature")})},
        {"cut in the signature", Bytes(good.begin(), good.begin() + 5),
         text("png.invalid", {"pic.png", text("png.noSignature")})},
        {"cut in IHDR", Bytes(good.begin(), good.begin() + 20), test::textOpening("png.invalid", "pic.png")},
        {"cut in the image data", Bytes(good.begin(), good.end() - 20), test::textOpening("png.invalid", "pic.png")},
        {"bad CRC", badCrc, test::textOpening("png.invalid", "pic.png")},
        // libpng would set the claimed 2 GB aside before finding the file's end.
        {"chunk claims 2 GB",
         Bytes(good.begin(), good.begin() + 33) + Bytes{0x78, 0x00, 0x00, 0x13, 'z', 'T', 'X', 't', 0, 0},
         text("png.invalid", {"pic.png", text("png.chunkTooLong", {"zTXt", "2013265939", "2"})})},
        // The largest pictures players show pass the size check and fail on their data.
        {"claims more pixels than it can hold", pngHeaderOnly(4095, 4096),
         text("png.invalid", {"pic.png", text("png.tooShortForSize")})},
        {"widest shown", pngHeaderOnly(8191, 2048), "(the file is too short"},
        {"too wide", pngHeaderOnly(8192, 1), text("picture.tooLarge", {"pic.png", "8192 x 1"})},
        {"too tall", pngHeaderOnly(1, 65536), text("picture.tooLarge", {"pic.png", "1 x 65536"})},
        {"too many pixels", pngHeaderOnly(4096, 4096), text("picture.tooLarge", {"pic.png", "4096 x 4096"})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto image = PngImageImpl::decode(c.data, "pic.png");
        ASSERT_FALSE(image);
        const Report& refusal = image.report();
        EXPECT_NE(refusal.text().find(c.text), std::string::npos) << refusal.text();
        EXPECT_EQ(refusal.reason().rfind("pic.png: ", 0), 0u) << refusal.reason();
    }
}

}  // namespace
}  // namespace tarvenox
