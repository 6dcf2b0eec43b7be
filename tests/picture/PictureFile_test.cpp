// Picture files converted once for both the check and the replacement.
#include <gtest/gtest.h>

#include <png.h>

#include "common/Texts.h"
#include "picture/PictureFile.h"
#include "support/PictureFiles.h"
#include "support/TempDir.h"
#include "support/TextOpening.h"

namespace tarvenox {
namespace {

using test::encodeJpeg;
using test::TempDir;

Bytes greyPng(std::uint32_t width, std::uint32_t height) {
    test::PngPicture picture{.width = width, .height = height, .colorType = PNG_COLOR_TYPE_GRAY};
    picture.rows.assign(height, Bytes(width, 0x80));
    return test::encodePng(picture);
}

// The conversion fails only where the replacement cannot go on; the verdict, which the
// command line's check and the choice of a file give, refuses more: a JPEG that players
// cannot show is converted all the same, and a file that cannot be read is refused in
// the check's own words.
TEST(PictureFile, ConversionAndVerdictTellApartWhatTheyRefuse) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string path;
        std::string failure;  // the replacement's message (OK and Cancel); empty: converted
        bool image;           // a converted file gives a bitmap tag
        std::string verdict;  // the start of the check's message; empty: accepted
        std::string reason;   // the start of the check's reason
    };
    const std::string broken = dir.write("broken.png", Bytes{0x89, 'P', 'N', 'G'});
    const std::string progressive = dir.write("p.jpg", encodeJpeg(8, 8, true));
    const std::string wide = dir.write("wide.jpeg", encodeJpeg(8192, 1, false));
    const Case cases[] = {
        {"baseline JPEG", dir.write("b.JPG", encodeJpeg(8, 8, false)), "", true, "", ""},
        {"PNG", dir.write("g.png", greyPng(5, 3)), "", true, "", ""},
        {"other kind", dir.write("p.gif", greyPng(5, 3)), "", false, "", ""},
        {"progressive JPEG", progressive, "", true, text("jpeg.progressive"),
         progressive + ": " + text("jpeg.progressive")},
        {"JPEG too wide", wide, "", true, text("picture.tooLarge", {wide, "8192 x 1"}),
         test::textOpening("picture.tooLargeReason", wide)},
        {"missing JPEG", dir.file("gone.jpg"), text("picture.notFound", {dir.file("gone.jpg")}), false,
         text("jpeg.invalid"), ""},
        {"missing PNG", dir.file("gone.png"), text("picture.notFound", {dir.file("gone.png")}), false,
         text("picture.notFound", {dir.file("gone.png")}), ""},
        {"corrupt PNG", broken, test::textOpening("png.invalid", broken), false,
         test::textOpening("png.invalid", broken), test::textOpening("png.undecodable", broken)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<PictureConversion> conversion = convertPicture(c.path);
        ASSERT_EQ(conversion.ok(), c.failure.empty()) << conversion.report().text();
        if (conversion) {
            EXPECT_EQ(conversion->image != nullptr, c.image);
        } else {
            ASSERT_EQ(conversion.report().messages().size(), 1u);
            EXPECT_EQ(conversion.report().messages()[0].text.rfind(c.failure, 0), 0u) << conversion.report().text();
            EXPECT_EQ(conversion.report().messages()[0].kind, MessageKind::OkCancel);
            EXPECT_FALSE(conversion.report().reason().empty());
        }

        const Report verdict = pictureVerdict(conversion, c.path);
        ASSERT_EQ(verdict.failed(), !c.verdict.empty());
        // The file checked on its own is judged the same.
        const Report alone = checkPicture(c.path);
        EXPECT_EQ(alone.messages(), verdict.messages());
        EXPECT_EQ(alone.reason(), verdict.reason());
        if (!verdict.failed()) {
            EXPECT_TRUE(verdict.messages().empty());
            continue;
        }
        ASSERT_EQ(verdict.messages().size(), 1u);
        EXPECT_EQ(verdict.messages()[0].text.rfind(c.verdict, 0), 0u) << verdict.text();
        EXPECT_EQ(verdict.messages()[0].kind, MessageKind::Information);
        // Every refusal gives the command line a reason; a file that cannot be read gives
        // the system's.
        EXPECT_FALSE(verdict.reason().empty());
        EXPECT_EQ(verdict.reason().rfind(c.reason, 0), 0u) << verdict.reason();
        if (!conversion) {
            EXPECT_EQ(verdict.reason(), conversion.report().reason());
        }
    }
}

}  // namespace
}  // namespace tarvenox
