// The Flash skin installation's movies as the build writes them: what a Flash 5 player
// runs, and a layout that leaves the host's preview free.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>

#include <nlohmann/json.hpp>

#include "common/ByteReader.h"
#include "support/ReadMovie.h"
#include "swf/ActionRecords.h"
#include "swf/SWFFile.h"
#include "ui/CTarvenoxDlg.h"

namespace tarvenox {
namespace {

const std::string skinFolder = std::string(TARVENOX_DEMO) + "/flash-skin/";

// Calls f on the action bytes of every DoAction, of the DoActions of every movie clip,
// and of every condition of every DefineButton2.
void eachActionList(ByteSpan tags, const std::function<void(ByteSpan)>& f) {
    ByteReader reader(tags);
    while (!reader.atEnd() && !reader.overrun()) {
        const std::uint16_t header = reader.readU16LE();
        std::uint32_t length = header & 0x3F;
        if (length == 0x3F) length = reader.readU32LE();
        const ByteSpan body = reader.readBytes(length);
        switch (static_cast<TagCode>(header >> 6)) {
            case TagCode::DoAction: f(body); break;
            case TagCode::DefineSprite: eachActionList(body.subspan(4), f); break;
            case TagCode::DefineButton2: {
                // Id, TrackAsMenu, then ActionOffset from its own first byte; each
                // BUTTONCONDACTION: its size (0 for the last), the conditions, the actions.
                std::size_t at = 3 + peekUI16(body, 3);
                for (std::uint16_t size = 1; size != 0 && at + 4 <= body.size(); at += size) {
                    size = peekUI16(body, at);
                    f(body.subspan(at + 4, size == 0 ? body.size() - at - 4 : size - 4));
                }
                break;
            }
            default: break;
        }
    }
    ASSERT_FALSE(reader.overrun());
}

TEST(DemoSkin, RunsOnAFlash5Player) {
    // The actions that came with Flash Player 6 and 7.
    const std::set<std::uint8_t> later = {0x2A, 0x2B, 0x2C, 0x54, 0x55, 0x66, 0x67, 0x68, 0x69, 0x8E, 0x8F};
    for (const char* name : {"skin.swf", "button.swf"}) {
        SWFFile movie = test::readMovie(skinFolder + name);
        EXPECT_EQ(movie.version(), 5) << name;
        Bytes tags;
        for (const auto& tag : movie.tags()) tag->writeTo(tags);
        int lists = 0;
        eachActionList(tags, [&](ByteSpan actions) {
            ++lists;
            auto records = readActionRecords(actions);
            ASSERT_TRUE(records) << name;
            ASSERT_EQ(records->back().code, action::kEnd) << name;
            std::set<std::size_t> starts;
            for (const auto& record : *records) {
                EXPECT_FALSE(later.contains(record.code)) << name << ": action 0x" << std::hex << int(record.code);
                starts.insert(record.offset);
            }
            // Every branch lands on a record of its own list.
            for (const auto& record : *records) {
                if (record.code != action::kIf && record.code != action::kJump) continue;
                auto target =
                    static_cast<std::ptrdiff_t>(record.end()) + static_cast<std::int16_t>(peekUI16(record.payload, 0));
                EXPECT_TRUE(starts.contains(static_cast<std::size_t>(target)))
                    << name << ": branch at " << record.offset;
            }
        });
        EXPECT_GT(lists, 1) << name;
    }
}

TEST(DemoSkin, LeavesThePreviewFree) {
    std::ifstream file(std::string(TARVENOX_DEMO) + "/skin-layout.json");
    const auto layout = nlohmann::json::parse(file);
    const PixelRect box = CTarvenoxDlg::viewerBox;
    ASSERT_EQ(layout["viewerBox"],
              (nlohmann::json{{"x", box.left}, {"y", box.top}, {"width", box.width()}, {"height", box.height()}}));
    std::vector<nlohmann::json> places(layout["entries"].begin(), layout["entries"].end());
    for (const auto* group : {&layout["controls"], &layout["fields"]}) {
        for (const auto& [name, place] : group->items()) places.push_back(place);
    }
    ASSERT_GT(places.size(), 15u);
    for (const auto& place : places) {
        const int x = place["x"], y = place["y"], right = x + place["width"].get<int>(),
                  bottom = y + place["height"].get<int>();
        EXPECT_TRUE(x >= 0 && y >= 0 && right <= layout["width"] && bottom <= layout["height"]) << place;
        EXPECT_TRUE(right <= box.left || x >= box.right || bottom <= box.top || y >= box.bottom)
            << place << " covers the preview";
    }
}

}  // namespace
}  // namespace tarvenox
