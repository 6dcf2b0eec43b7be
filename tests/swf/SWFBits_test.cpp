// The bit writer and reader, signedBitCount, RECT and MATRIX, in both directions.
#include <gtest/gtest.h>

#include "swf/SWFBitReader.h"
#include "swf/SWFBitWriter.h"
#include "swf/SWFMatrix.h"
#include "swf/SWFRect.h"

namespace tarvenox {
namespace {

TEST(SWFBitWriter, PacksMostSignificantBitFirst) {
    SWFBitWriter w;
    w.writeBits(5, 3);
    w.writeBits(3, 5);
    EXPECT_EQ(w.bytes(), (Bytes{0x1D}));
}

TEST(SWFBitWriter, AlignedByteStartsANewByte) {
    SWFBitWriter w;
    w.writeBits(1, 1);
    w.writeAlignedByte(0xFF);
    EXPECT_EQ(w.bytes(), (Bytes{0x80, 0xFF}));
}

TEST(SWFBitWriter, AlignedUI16IsLowByteFirstAndZeroBitsWriteNothing) {
    SWFBitWriter w;
    w.writeBits(0, 0xFFFF);
    EXPECT_TRUE(w.bytes().empty());
    w.writeBits(3, 0b101);
    w.writeAlignedUI16(0x1234);
    EXPECT_EQ(w.bytes(), (Bytes{0xA0, 0x34, 0x12}));
}

TEST(SWFBitWriter, TakeLeavesANewWriter) {
    SWFBitWriter w;
    w.writeBits(3, 0b101);
    EXPECT_EQ(w.take(), (Bytes{0xA0}));
    EXPECT_TRUE(w.bytes().empty());
    w.writeBits(2, 0b11);
    EXPECT_EQ(w.bytes(), (Bytes{0xC0}));
}

TEST(SWFBitWriter, SignedFieldsKeepTheirLowBits) {
    SWFBitWriter w;
    w.writeSignedBits(3, -3);  // 101
    w.writeSignedBits(5, -1);  // 11111
    EXPECT_EQ(w.bytes(), (Bytes{0b101'11111}));
}

TEST(SignedBitCount, CountsTheSignBit) {
    struct Case {
        std::int32_t value;
        int bits;
    };
    for (const Case& c :
         {Case{0, 0}, Case{1, 2}, Case{-1, 1}, Case{3, 3}, Case{-4, 3}, Case{-5, 4}, Case{10, 5}, Case{16, 6},
          Case{-16, 5}, Case{11000, 15}, Case{32767, 16}, Case{-32768, 16}, Case{INT32_MAX, 32}, Case{INT32_MIN, 32}}) {
        EXPECT_EQ(signedBitCount(c.value), c.bits) << c.value;
    }
}

TEST(SWFBitReader, ReadsUnsignedAndSignedFields) {
    const Bytes data{0b101'00000};
    SWFBitReader r(data);
    EXPECT_EQ(r.readSB(3), -3);
    SWFBitReader u(data);
    EXPECT_EQ(u.readUB(3), 5u);
    EXPECT_FALSE(u.overrun());
}

TEST(SWFBitReader, AlignedReadsSkipTheRestOfAByte) {
    const Bytes data{0xC0, 0x80, 0x34, 0x12, 0xFF, 0xFF};
    SWFBitReader r(data);
    EXPECT_EQ(r.readUB(2), 3u);
    EXPECT_EQ(r.readSI8(), -128);
    EXPECT_EQ(r.readUI16(), 0x1234);
    EXPECT_EQ(r.readSI16(), -1);
    EXPECT_EQ(r.nextByteOffset(), 6u);
    EXPECT_FALSE(r.overrun());
}

TEST(SWFBitReader, NeverReadsPastTheBufferAndSaysSo) {
    const Bytes data{0xFF};
    SWFBitReader r{ByteSpan(data)};
    EXPECT_EQ(r.readUB(4), 0xFu);
    EXPECT_FALSE(r.overrun());
    // Four bits remain; the other eight of this field read as zero.
    EXPECT_EQ(r.readUB(12), 0xF00u);
    EXPECT_TRUE(r.overrun());
    EXPECT_EQ(r.readUI16(), 0);
    EXPECT_EQ(r.nextByteOffset(), 1u);

    SWFBitReader empty{ByteSpan{}};
    EXPECT_EQ(empty.readUI8(), 0);
    EXPECT_TRUE(empty.overrun());
}

// One table drives both directions.
struct RectCase {
    const char* name;
    SWFRect rect;
    Bytes bytes;
};

TEST(SWFRect, ReadsAndWritesTheDocumentedLayouts) {
    const RectCase cases[] = {
        // Nbits 15: 0, 11000, 0, 8000 -> 01111 then four 15-bit fields.
        {"frame", {0, 11000, 0, 8000, 15}, {0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00}},
        {"empty", {0, 0, 0, 0, 0}, {0x00}},
        {"negative", {-1, 1, -2, 2, 3}, {0b00011'111, 0b001'110'01, 0b0'0000000}},
    };
    for (const auto& c : cases) {
        SWFBitReader r(c.bytes);
        EXPECT_EQ(SWFRect::read(r), c.rect) << c.name;
        EXPECT_FALSE(r.overrun()) << c.name;
        SWFBitWriter w;
        SWFRect copy = c.rect;
        copy.nBits = 0;  // the writer finds the smallest width itself
        copy.write(w);
        EXPECT_EQ(w.bytes(), c.bytes) << c.name;
    }
}

TEST(SWFRect, KeepsAWiderBitCountThanNeeded) {
    SWFRect rect{0, 1, 0, 1, 20};
    SWFBitWriter w;
    rect.write(w);
    SWFBitReader r(w.bytes());
    EXPECT_EQ(SWFRect::read(r).nBits, 20);
}

struct MatrixCase {
    const char* name;
    SWFMatrix matrix;
    Bytes bytes;
};

TEST(SWFMatrix, ReadsAndWritesTheDocumentedLayouts) {
    SWFMatrix identity;
    SWFMatrix translated;
    translated.translateX = 3;
    translated.translateY = -4;
    SWFMatrix scaled;
    scaled.hasScale = true;
    scaled.scaleX = 20 << 16;
    scaled.scaleY = 20 << 16;
    SWFMatrix rotated;
    rotated.hasRotate = true;
    rotated.rotateSkew0 = 1;
    rotated.rotateSkew1 = -1;
    const MatrixCase cases[] = {
        // No scale, no rotate, NTranslateBits 0: seven bits, no coordinates.
        {"identity", identity, {0x00}},
        // 0, 0, NTranslateBits 3 (max of 3 for 3 and -4), 011, 100.
        {"translation", translated, {0b0'0'00011'0, 0b11'100'000}},
        // 1, NScaleBits 22 (20.0 in 16.16 needs 22), 20<<16 twice, 0, NTranslateBits 0.
        {"scale", scaled, {0b1'10110'01, 0b01000000, 0b00000000, 0b00000101, 0b00000000, 0b00000000, 0b0'0'00000}},
        // 0, 1, NRotateBits 2, 01, 11, NTranslateBits 0.
        {"rotate", rotated, {0b0'1'00010'0, 0b1'11'00000}},
    };
    for (const auto& c : cases) {
        SWFBitWriter w;
        c.matrix.write(w);
        EXPECT_EQ(w.bytes(), c.bytes) << c.name;
        SWFBitReader r(c.bytes);
        EXPECT_EQ(SWFMatrix::read(r), c.matrix) << c.name;
        EXPECT_FALSE(r.overrun()) << c.name;
    }
}

}  // namespace
}  // namespace tarvenox
