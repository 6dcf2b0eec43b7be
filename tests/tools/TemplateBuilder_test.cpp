// Template movies from the builder, read and customised by the engine.
#include "TemplateBuilder.h"

#include <gtest/gtest.h>

#include <png.h>
#include "font/FontReplacement.h"
#include "picture/PictureReplacement.h"

#include "data/TextTable.h"
#include "support/Mp3Builder.h"
#include "support/PictureFiles.h"
#include "support/ReadMovie.h"
#include "support/TempDir.h"
#include "swf/MovieProbe.h"
#include "swf/MovieVariables.h"
#include "swf/SWFBackgroundColor.h"
#include "swf/SWFDefineShape.h"
#include "swf/SWFDefineSound.h"
#include "swf/SWFFile.h"
#include "swf/SWFImage.h"
#include "swf/SWFWriter.h"

namespace tarvenox {
namespace {

using tools::Pixels;
using tools::TemplateBuilder;

Pixels solid(int width, int height, std::uint32_t argb) {
    return {width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, argb)};
}

ActionVariables demoVariables() {
    TextTable configs("movie\tvariable\ttype\tvalue\n"
                      "card\ttitle\ts\tGr\xFC\xDF"
                      "e\\nthere\n"
                      "card\tprice\td\t19.99\n"
                      "card\tyear\ti\t2026\n"
                      "card\tshowBadge\tb\ttrue\n");
    ActionVariables variables;
    buildActionVariables(configs, "card", variables);
    return variables;
}

SWFTag* tagWithId(SWFFile& movie, TagCode code, std::uint16_t id) {
    for (auto& tag : movie.tags()) {
        if (tag->code() == code && tag->characterId() == id) return tag.get();
    }
    return nullptr;
}

// The bitmap fill of the first DefineShape as pixels of the bitmap per twip, scaled by
// the bitmap's width: the width in twips that the bitmap covers.
double coveredWidth(SWFFile& movie, int bitmapWidth) {
    for (auto& tag : movie.tags()) {
        auto* shape = dynamic_cast<SWFDefineShape*>(tag.get());
        if (shape == nullptr) continue;
        auto styles = shape->styles();
        if (!styles || styles->fillStyles.empty()) continue;
        return styles->fillStyles[0].bitmapMatrix.scaleX / 65536.0 * bitmapWidth;
    }
    return -1;
}

class TemplateBuilderTest : public ::testing::Test {
protected:
    // A template of 320 x 240 pixels with every kind of content the builder makes.
    std::string buildFullTemplate(std::uint8_t version = 5) {
        TemplateBuilder builder(320, 240, 12, version);
        builder.setBackground(0x123456);
        std::uint16_t font = builder.addFont("Title", "DejaVu Sans");
        tools::TextField field;
        field.variable = "title";
        field.fontId = font;
        field.place = {10, 10, 300, 40};
        builder.addTextField(field);
        builder.addPicture("photo", solid(47, 33, 0xFF336699), {20, 60, 200, 150});
        const Report added = builder.addSound("music", mp3Path);
        EXPECT_FALSE(added.failed()) << added.text();
        builder.setVariables(demoVariables());
        builder.addFrameActions(ActionWriter().op(action::kStop));
        std::string path = dir.file("card.swf");
        const Report written = builder.write(path);
        EXPECT_FALSE(written.failed()) << written.reason();
        return path;
    }

    test::TempDir dir;
    std::string mp3Path = dir.write("music.mp3", test::mp3Frames(test::kMpeg2Layer3_64k_22050_Mono, 8));
};

TEST_F(TemplateBuilderTest, WritesATemplateTheEngineReadsWhole) {
    SWFFile movie = test::readMovie(buildFullTemplate());
    // Version 5: its strings are Windows-1252, as the product's texts are.
    EXPECT_EQ(movie.version(), 5);
    EXPECT_EQ(movie.frameRect(), (SWFRect{0, 6400, 0, 4800, movie.frameRect().nBits}));
    EXPECT_EQ(probeBackgroundColor(dir.file("card.swf")), 0x123456);

    auto pictureId = movie.findExportedId("photo");
    ASSERT_TRUE(pictureId);
    EXPECT_NE(tagWithId(movie, TagCode::DefineBitsLossless, *pictureId), nullptr);
    auto soundId = movie.findExportedId("music");
    ASSERT_TRUE(soundId);
    auto* sound = dynamic_cast<SWFDefineSound*>(tagWithId(movie, TagCode::DefineSound, *soundId));
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->format()->sampleCount, 8u * 576);
    // The music starts on the first frame.
    EXPECT_NE(tagWithId(movie, TagCode::StartSound, *soundId), nullptr);

    // The defaults come first; the frame's own actions follow in a DoAction of their own.
    std::vector<Bytes> actions;
    for (auto& tag : movie.tags()) {
        if (tag->code() == TagCode::DoAction) actions.emplace_back(tag->body().begin(), tag->body().end());
    }
    ASSERT_EQ(actions.size(), 2u);
    EXPECT_EQ(actions[0], actionBytes(demoVariables(), MovieTextEncoding::Windows1252));
    EXPECT_EQ(actions[1], (Bytes{0x07, 0x00}));
}

TEST_F(TemplateBuilderTest, SavingTheUnchangedTemplateChangesNoByte) {
    // In either text encoding, the builder writes what a save writes.
    for (std::uint8_t version : {5, 6}) {
        std::string path = buildFullTemplate(version);
        SWFFile movie = test::readMovie(path);
        EXPECT_EQ(movie.version(), version);
        setVariables(movie, demoVariables());
        setBackgroundColor(movie, 0x123456);
        (void)replaceFont(movie, "Title", "DejaVu Sans");
        EXPECT_EQ(serializeSWF(movie), test::readBytes(path)) << int(version);
    }
}

TEST_F(TemplateBuilderTest, PictureCoversItsPlaceBeforeAndAfterReplacement) {
    SWFFile movie = test::readMovie(buildFullTemplate());
    EXPECT_NEAR(coveredWidth(movie, 47), 200 * 20, 1);

    test::PngPicture picture{.width = 94, .height = 20, .colorType = PNG_COLOR_TYPE_RGB};
    picture.rows.assign(20, Bytes(94 * 3, 0x80));
    EXPECT_FALSE(replacePicture(movie, "photo", dir.write("wide.png", test::encodePng(picture))).failed());
    // Cut to the slot's proportions, the picture still spans the slot.
    const SWFImage* replaced = findExportedImage(movie, "photo");
    ASSERT_NE(replaced, nullptr);
    EXPECT_NEAR(coveredWidth(movie, replaced->width()), 200 * 20, 1);
}

TEST_F(TemplateBuilderTest, RefusesWhatItCannotBuild) {
    TemplateBuilder builder(100, 100, 12);
    const Report noise = builder.addSound("music", dir.write("noise.mp3", std::string(500, 'x')));
    EXPECT_TRUE(noise.failed());
    EXPECT_NE(noise.text().find("noise.mp3"), std::string::npos) << noise.text();
    EXPECT_TRUE(builder.addSound("music", dir.file("missing.mp3")).failed());

    EXPECT_THROW(builder.addPicture("empty", solid(0, 10, 0), {0, 0, 10, 10}), std::runtime_error);
    Pixels short_ = solid(4, 4, 0);
    short_.argb.pop_back();
    EXPECT_THROW(builder.addPicture("short", short_, {0, 0, 10, 10}), std::runtime_error);

    // Nothing of the refused content reaches the movie.
    const Report written = builder.write(dir.file("plain.swf"));
    ASSERT_FALSE(written.failed()) << written.reason();
    SWFFile movie = test::readMovie(dir.file("plain.swf"));
    EXPECT_FALSE(movie.findExportedId("music"));
    EXPECT_FALSE(movie.findExportedId("empty"));
}

}  // namespace
}  // namespace tarvenox
