#include "common/ByteReader.h"

#include <gtest/gtest.h>

namespace tarvenox {
namespace {

TEST(ByteReader, ReadsBothByteOrders) {
    const Bytes data{0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0x12, 0x34, 0x12, 0x34, 0x56, 0x78};
    ByteReader r(data);
    EXPECT_EQ(r.readU16LE(), 0x1234);
    EXPECT_EQ(r.readU32LE(), 0x12345678u);
    EXPECT_EQ(r.readU16BE(), 0x1234);
    EXPECT_EQ(r.readU32BE(), 0x12345678u);
    EXPECT_TRUE(r.atEnd());
    EXPECT_FALSE(r.overrun());
}

TEST(ByteReader, AReadThatDoesNotFitConsumesNothingAndIsRemembered) {
    const Bytes data{1, 2, 3};
    ByteReader r(data);
    EXPECT_EQ(r.readU32LE(), 0u);
    EXPECT_TRUE(r.overrun());
    EXPECT_EQ(r.position(), 0u);
    EXPECT_EQ(r.readU16LE(), 0x0201);  // what fits can still be read
    EXPECT_TRUE(r.readBytes(2).empty());
    EXPECT_FALSE(r.skip(2));
    EXPECT_EQ(r.readU8(), 3);
    EXPECT_EQ(r.readU8(), 0);
    EXPECT_TRUE(r.overrun());
}

TEST(ByteReader, CStringsNeedTheirTerminator) {
    const Bytes data{'a', 'b', 0, 'c'};
    ByteReader r(data);
    EXPECT_EQ(r.readCString(), "ab");
    EXPECT_FALSE(r.overrun());
    EXPECT_EQ(r.readCString(), std::nullopt);
    EXPECT_TRUE(r.overrun());
    EXPECT_EQ(r.position(), 3u);
}

}  // namespace
}  // namespace tarvenox
