// The bridge clip added to an interface movie: where it goes, what it leaves alone, and
// byte code that a player can walk.
#include "ui/web/BridgeSprite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include "support/ReadMovie.h"

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "swf/ActionRecords.h"
#include "swf/SWFFile.h"
#include "swf/SWFWriter.h"
#include "swf/TagCode.h"

namespace tarvenox::web {
namespace {

const std::string pollUrl = "/s/0123/skin/poll";

std::unique_ptr<SWFTag> tag(TagCode code, Bytes body) { return std::make_unique<SWFTag>(code, std::move(body)); }

// A movie of two frames whose first frame takes character 65535 and depth 16383, the
// places the clip would go first.
Bytes interfaceMovie(std::uint8_t version) {
    SWFFile movie(version, SWFRect{0, 16000, 0, 12000, 0}, 12, 2);
    movie.tags().push_back(tag(TagCode::SetBackgroundColor, {0x20, 0x30, 0x40}));
    movie.tags().push_back(tag(TagCode::DefineShape, {0xFF, 0xFF, /* bounds */ 0x00, /* styles */ 0, 0, 0x00}));
    movie.tags().push_back(tag(TagCode::PlaceObject2, {0x02, /* depth */ 0xFF, 0x3F, /* id */ 0xFF, 0xFF}));
    movie.tags().push_back(tag(TagCode::ShowFrame, {}));
    movie.tags().push_back(tag(TagCode::ShowFrame, {}));
    return serializeSWF(movie);
}

// The DoAction bodies of a DefineSprite body.
std::vector<Bytes> spriteActions(ByteSpan body, int* frames) {
    ByteReader reader(body);
    reader.skip(2);
    *frames = reader.readU16LE();
    std::vector<Bytes> actions;
    while (reader.remaining() >= 2) {
        const std::uint16_t word = reader.readU16LE();
        std::uint32_t length = word & 0x3F;
        if (length == 0x3F) length = reader.readU32LE();
        const ByteSpan tagBody = reader.readBytes(length);
        if (static_cast<TagCode>(word >> 6) == TagCode::DoAction) actions.emplace_back(tagBody.begin(), tagBody.end());
    }
    return actions;
}

TEST(BridgeSprite, GoesIntoTheFirstFrameAtAFreeIdAndDepthAndLeavesTheRestAlone) {
    const Bytes original = interfaceMovie(5);
    const auto bridged = addBridgeSprite(original, "skin.swf", pollUrl);
    ASSERT_TRUE(bridged) << bridged.report().reason();
    SWFFile movie = test::readMovie(*bridged, "bridged.swf");
    EXPECT_EQ(movie.signature(), "FWS");
    EXPECT_EQ(movie.frameRate(), 12);
    EXPECT_EQ(movie.frameCount(), 2);

    auto& tags = movie.tags();
    ASSERT_EQ(tags.size(), 7u);
    const SWFTag& sprite = *tags[3];
    const SWFTag& placement = *tags[4];
    ASSERT_EQ(sprite.code(), TagCode::DefineSprite);
    ASSERT_EQ(placement.code(), TagCode::PlaceObject2);
    EXPECT_EQ(tags[5]->code(), TagCode::ShowFrame);
    EXPECT_EQ(sprite.characterId(), 65534);
    const ByteSpan place = placement.body();
    EXPECT_EQ(place[0], 0x22);             // a name and a character
    EXPECT_EQ(peekUI16(place, 1), 16382);  // depth
    EXPECT_EQ(peekUI16(place, 3), 65534);  // the clip
    EXPECT_EQ(std::string(place.begin() + 5, place.end() - 1), bridgeSpriteName);

    // Without the clip the movie is the original, byte for byte.
    tags.erase(tags.begin() + 3, tags.begin() + 5);
    EXPECT_EQ(serializeSWF(movie), original);
}

TEST(BridgeSprite, ActionsWalkToTheirEndAndBranchOnlyToRecords) {
    const auto bridged = addBridgeSprite(interfaceMovie(6), "skin.swf", pollUrl);
    ASSERT_TRUE(bridged);
    SWFFile movie = test::readMovie(*bridged, "bridged.swf");
    auto sprite = std::find_if(movie.tags().begin(), movie.tags().end(),
                               [](const auto& t) { return t->code() == TagCode::DefineSprite; });
    ASSERT_NE(sprite, movie.tags().end());
    int frames = 0;
    const std::vector<Bytes> frameActions = spriteActions((*sprite)->body(), &frames);
    EXPECT_EQ(frames, 2);
    ASSERT_EQ(frameActions.size(), 2u);
    bool polls = false;
    for (const Bytes& body : frameActions) {
        auto records = readActionRecords(body);
        ASSERT_TRUE(records);
        ASSERT_FALSE(records->empty());
        EXPECT_EQ(records->back().code, action::kEnd);
        EXPECT_EQ(records->back().end(), body.size());
        for (const ActionRecord& record : *records) {
            // Version 5 and older: nothing from 0x50 up but the records of version 5 and the branches.
            if (record.code == action::kJump || record.code == action::kIf) {
                const auto target =
                    static_cast<std::int64_t>(record.end()) + static_cast<std::int16_t>(peekUI16(record.payload, 0));
                EXPECT_TRUE(
                    std::any_of(records->begin(), records->end(),
                                [&](const ActionRecord& r) { return static_cast<std::int64_t>(r.offset) == target; }))
                    << "a branch at " << record.offset << " lands at " << target;
            }
            if (record.code == action::kGetUrl2 && record.payload[0] == 0xC0) polls = true;
        }
    }
    EXPECT_TRUE(polls) << "one frame loads the poll's variables into the clip";
    const std::string text(frameActions[0].begin(), frameActions[0].end());
    EXPECT_NE(text.find(pollUrl + "?after="), std::string::npos);
    EXPECT_NE(text.find(std::string("FSCommand:") + bridgeAnswerCommand), std::string::npos);
}

TEST(BridgeSprite, RefusesMoviesItCannotServe) {
    Bytes cut = interfaceMovie(5);
    cut.resize(cut.size() - 8);  // inside the placement
    const struct {
        const char* name;
        Bytes movie;
        const char* reason;
    } cases[] = {
        {"old.swf", interfaceMovie(4), "version 4"},
        {"cut.swf", cut, "cut.swf"},
    };
    for (const auto& c : cases) {
        const auto copy = addBridgeSprite(c.movie, c.name, pollUrl);
        ASSERT_FALSE(copy) << c.name;
        EXPECT_TRUE(copy.report().failed()) << c.name;
        EXPECT_NE(copy.report().reason().find(c.reason), std::string::npos) << copy.report().reason();
    }
}

}  // namespace
}  // namespace tarvenox::web
