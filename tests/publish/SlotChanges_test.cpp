// Replacements in a form the check refuses before it looks at the movie: the cells of a
// sheet reach it without the command line's reading of NAME=VALUE.
#include "publish/SlotChanges.h"

#include <gtest/gtest.h>

#include <png.h>

#include "common/Texts.h"
#include "picture/PictureChoice.h"
#include "support/MovieBuilder.h"
#include "support/Mp3Builder.h"
#include "support/PictureFiles.h"
#include "support/ReadMovie.h"
#include "support/TempDir.h"
#include "swf/SWFDefineSound.h"
#include "swf/SWFFile.h"
#include "swf/SWFFont.h"
#include "swf/SWFImage.h"

namespace tarvenox {
namespace {

TEST(SlotChanges, ChangesWithoutANameOrValueOrInAnotherCodePageAreRefusedAsGiven) {
    SWFFile movie(8, SWFRect{0, 11000, 0, 8000}, 12, 1);
    const struct {
        ChangeKind kind;
        SlotChange change;
        std::string message;
    } cases[] = {
        {ChangeKind::Picture, {"", "x.png"}, text("form.notInForm", {"--image", "=x.png", text("form.exportFile")})},
        {ChangeKind::Sound, {"music", ""}, text("form.notInForm", {"--mp3", "music=", text("form.exportFile")})},
        {ChangeKind::Font,
         {"", "DejaVu Sans"},
         text("form.notInForm", {"--font", "=DejaVu Sans", text("form.nameFace")})},
        {ChangeKind::Picture,
         {"lo\xF0\x9F\x98\x80go", "x.png"},
         "--image: 'lo\xF0\x9F\x98\x80go=x.png' has characters that Windows-1252 cannot represent"},
    };
    for (const auto& c : cases) {
        const auto checked = checkedChanges(movie, c.kind, {c.change});
        EXPECT_FALSE(checked.ok()) << c.message;
        EXPECT_EQ(checked.report().text(), c.message);
        EXPECT_TRUE(wellFormed({c.change}).empty()) << c.message;
    }
    // A name in Windows-1252 is kept in the code page movies store names in.
    EXPECT_EQ(wellFormed({{"J\xC3\xB6rg", "a.png"}, {"", "b.png"}}), (Replacements{{"J\xF6rg", "a.png"}}));
}

// Bitmaps 1 (exported as "logo"), 3, 11 (exported as "12") and 12; shape 7 (exported as
// "shape"); sound 4; DefineFont2 5 "Title" and 13 "5"; DefineFont 8; DefineText 9; a
// DefineBitsJPEG3 10.
Bytes slotMovie() {
    using test::cstr;
    using test::le16;
    using test::operator+;
    const auto bitmap = [](std::uint16_t id) {
        return le16(id) + Bytes{5} + le16(2) + le16(2) + Bytes{0x78, 0x9C, 0x03, 0x00, 0, 0, 0, 1};
    };
    const auto font2 = [](std::uint16_t id, const std::string& name) {
        return le16(id) + Bytes{0, 0, static_cast<std::uint8_t>(name.size())} + Bytes(name.begin(), name.end()) +
               le16(0) + le16(2);
    };
    return test::MovieBuilder(8)
        .tag(20, bitmap(1))
        .tag(20, bitmap(3))
        .tag(2, test::clippedBitmapShape(7, 3))
        .tag(14, le16(4) + Bytes{0x2F} + test::le32(1152) + Bytes(64, 0))
        .tag(48, font2(5, "Title"))
        .tag(48, font2(13, "5"))
        .tag(10, le16(8) + le16(0))
        .tag(11, le16(9) + Bytes(12, 0))
        .tag(35, le16(10) + test::le32(4) + Bytes{0xFF, 0xD8, 0xFF, 0xD9})
        .tag(20, bitmap(11))
        .tag(20, bitmap(12))
        .tag(56, le16(3) + le16(1) + cstr("logo") + le16(11) + cstr("12") + le16(7) + cstr("shape"))
        .showFrame()
        .build();
}

// A slot is the export name (the font's name), else the character id it reads as; what
// that id names decides the refusal, which is one line.
TEST(SlotChanges, SlotsNameCharactersByNameElseById) {
    test::TempDir dir;
    test::PngPicture picture{.width = 2, .height = 2, .colorType = PNG_COLOR_TYPE_GRAY};
    picture.rows.assign(2, Bytes(2, 0x80));
    const std::string png = dir.write("p.png", test::encodePng(picture));
    const std::string mp3 = dir.write("s.mp3", test::mp3Frames(test::kMpeg1Layer3_128k_44100_Joint, 4));
    SWFFile movie = test::readMovie(slotMovie(), "slots.swf");
    const auto valueOf = [&](ChangeKind kind) {
        return kind == ChangeKind::Picture ? png : kind == ChangeKind::Sound ? mp3 : std::string("DejaVu Sans");
    };
    const auto foundId = [&](ChangeKind kind, const std::string& slot) -> int {
        const SWFTag* tag = kind == ChangeKind::Picture ? static_cast<SWFTag*>(findImageSlot(movie, slot))
                            : kind == ChangeKind::Sound ? static_cast<SWFTag*>(findSoundSlot(movie, slot))
                                                        : static_cast<SWFTag*>(findFontSlot(movie, slot));
        return tag == nullptr ? -1 : tag->characterId();
    };
    const struct {
        ChangeKind kind;
        std::string slot;
        int id;              // the character changed, or -1
        std::string reason;  // the refusal after "OPTION SLOT=VALUE: "
    } cases[] = {
        {ChangeKind::Picture, "logo", 1, ""},
        {ChangeKind::Picture, "3", 3, ""},
        {ChangeKind::Picture, "12", 11, ""},  // the export name wins over bitmap 12
        {ChangeKind::Sound, "4", 4, ""},
        {ChangeKind::Font, "Title", 5, ""},
        {ChangeKind::Font, "5", 13, ""},  // the font's name wins over font 5
        {ChangeKind::Font, "13", 13, ""},
        {ChangeKind::Picture, "7", -1, "character 7 is a shape (DefineShape), not a picture"},
        {ChangeKind::Picture, "10", 10, ""},  // a DefineBitsJPEG3, alpha channel and all
        {ChangeKind::Sound, "1", -1, "character 1 is a picture (DefineBitsLossless), not a sound"},
        {ChangeKind::Font, "9", -1, "character 9 is a static text (DefineText), not a font"},
        {ChangeKind::Font, "8", -1,
         "character 8 is a font (DefineFont), which cannot be rebuilt (only DefineFont2 and DefineFont3 can)"},
        // An export name of another kind, an id the movie lacks and what only looks like
        // an id are names it lacks.
        {ChangeKind::Picture, "shape", -1, "the movie exports no picture named 'shape'"},
        {ChangeKind::Picture, "99", -1, "the movie exports no picture named '99'"},
        {ChangeKind::Picture, "03", -1, "the movie exports no picture named '03'"},
        {ChangeKind::Sound, "+4", -1, "the movie exports no sound named '+4'"},
        {ChangeKind::Font, "65549", -1, "the movie has no font (DefineFont2 or DefineFont3) named '65549'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.slot);
        EXPECT_EQ(foundId(c.kind, c.slot), c.id);
        const std::string value = valueOf(c.kind);
        const auto checked = checkedChanges(movie, c.kind, {{c.slot, value}});
        if (c.id >= 0) {
            EXPECT_TRUE(checked.ok()) << checked.report().text();
            continue;
        }
        ASSERT_FALSE(checked.ok());
        const std::string option = c.kind == ChangeKind::Picture ? "--image"
                                   : c.kind == ChangeKind::Sound ? "--mp3"
                                                                 : "--font";
        EXPECT_EQ(checked.report().text(), option + " " + c.slot + "=" + value + ": " + c.reason);
    }
}

TEST(SlotChanges, FitsAreForThePicturesOfTheirNameOrAreRefused) {
    const std::vector<SlotChange> pictures = {{"logo", "a.png"}, {"5", "b.jpg"}, {"Bild \xE2\x82\xAC", "c.png"}};
    const auto fits = checkedFits(
        pictures, {{"logo", "contain"}, {"5", "cover"}, {"logo", "stretch"}, {"Bild \xE2\x82\xAC", "contain"}});
    ASSERT_TRUE(fits.ok()) << fits.report().text();
    // The last fit of a name wins; names as the movie holds them (Windows-1252).
    EXPECT_EQ(*fits, (PictureFits{
                         {"logo", PictureFit::Stretch}, {"5", PictureFit::Cover}, {"Bild \x80", PictureFit::Contain}}));

    EXPECT_EQ(checkedFits(pictures, {{"logo", "fill"}}).report().text(),
              "--fit: 'logo=fill' is not NAME=cover, NAME=contain or NAME=stretch");
    // A fit names the picture as its --image does: the id 5 is not the name "05".
    EXPECT_EQ(checkedFits(pictures, {{"05", "cover"}}).report().text(),
              "--fit 05=cover: no picture '05' is replaced (--image 05=FILE)");
}

}  // namespace
}  // namespace tarvenox
