#include "swf/SWFTag.h"

#include <gtest/gtest.h>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"

namespace tarvenox {
namespace {

Bytes written(const SWFTag& tag) {
    Bytes out;
    tag.writeTo(out);
    return out;
}

TEST(SWFTag, RecordHeaderIsShortBelow63BytesAndLongFrom63) {
    // 62 bytes: one word, code * 64 + 62.
    SWFTag shortTag(TagCode::DoAction, Bytes(62, 0xAA));
    Bytes shortBytes = written(shortTag);
    ASSERT_EQ(shortBytes.size(), 64u);
    EXPECT_EQ(shortTag.outputSize(), 64u);
    EXPECT_EQ(peekUI16(shortBytes, 0), 12 * 64 + 62);
    EXPECT_EQ(shortBytes[2], 0xAA);

    // 63 bytes: code * 64 + 63, then the length as 32 bits.
    SWFTag longTag(TagCode::DoAction, Bytes(63, 0xBB));
    Bytes longBytes = written(longTag);
    ASSERT_EQ(longBytes.size(), 69u);
    EXPECT_EQ(longTag.outputSize(), 69u);
    EXPECT_EQ(peekUI16(longBytes, 0), 12 * 64 + 63);
    EXPECT_EQ((Bytes{longBytes.begin() + 2, longBytes.begin() + 6}), (Bytes{63, 0, 0, 0}));
    EXPECT_EQ(longBytes[6], 0xBB);
}

TEST(SWFTag, EmptyBodyWritesOnlyTheHeader) {
    SWFTag tag(TagCode::ShowFrame, {});
    EXPECT_EQ(written(tag), (Bytes{0x40, 0x00}));
    EXPECT_EQ(tag.outputSize(), 2u);
}

TEST(SWFTag, SetDataReplacesTheBodyAndItsLength) {
    SWFTag tag(TagCode::SetBackgroundColor, Bytes{1, 2, 3});
    tag.setData(Bytes(100, 7));
    EXPECT_EQ(tag.length(), 100u);
    EXPECT_EQ(tag.outputSize(), 106u);
    EXPECT_EQ(tag.code(), TagCode::SetBackgroundColor);
}

TEST(SWFTag, CharacterIdIsLittleEndianAndZeroWhenTooShort) {
    EXPECT_EQ(SWFTag(TagCode::DefineShape, Bytes{0x34, 0x12, 0}).characterId(), 0x1234);
    EXPECT_EQ(SWFTag(TagCode::DefineShape, Bytes{0x34}).characterId(), 0);
}

}  // namespace
}  // namespace tarvenox
