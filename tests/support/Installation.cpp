// A small installation for tests.
#include "support/Installation.h"

#include "data/ArchiveWriter.h"
#include "font/DefineFont2.h"
#include "font/Glyph.h"
#include "support/MovieBuilder.h"
#include "support/TempDir.h"
#include "swf/SWFDefineShape.h"

namespace tarvenox::test {

namespace {

Bytes emptyFont(std::uint16_t id, const std::string& name) {
    GlyphOutlines empty;
    for (int i = 0; i < 224; ++i) empty.glyphs.push_back(std::make_unique<NullGlyph>());
    return buildDefineFont2Body(id, name, empty);
}

Bytes lossless(std::uint16_t id, std::uint16_t width, std::uint16_t height) {
    // Format 5 (32-bit ARGB), then a zlib stream of no data.
    return le16(id) + Bytes{5} + le16(width) + le16(height) + Bytes{0x78, 0x9C, 0x03, 0x00, 0, 0, 0, 1};
}

Bytes shapeShowing(std::uint16_t shapeId, std::uint16_t bitmapId) {
    SWFFillStyle fill;
    fill.type = SWFFillStyle::kClippedBitmap;
    fill.bitmapId = bitmapId;
    fill.bitmapMatrix = {.hasScale = true, .scaleX = 20 << 16, .scaleY = 20 << 16};
    SWFShapeStyles styles;
    styles.shapeId = shapeId;
    styles.bounds = {0, 4000, 0, 4000, 0};
    styles.fillStyles = {fill};
    return styles.write() + Bytes{0x10, 0x00};  // no fill or line bits, end of shape
}

}  // namespace

Bytes templateMovie() {
    const Bytes adpcm = Bytes{0x16} + le32(1000) + Bytes(40, 0x11);
    return MovieBuilder()
        .background(0x10, 0x20, 0x30)
        .tag(48, emptyFont(1, "Title"))
        .tag(20, lossless(2, 10, 10))
        .tag(2, shapeShowing(3, 2))
        .tag(20, lossless(4, 8, 8))
        .tag(14, le16(5) + adpcm)
        .tag(56, le16(1) + le16(2) + cstr("logo"))
        .tag(56, le16(1) + le16(4) + cstr("Back"))
        .tag(56, le16(1) + le16(5) + cstr("music"))
        .tag(12, Bytes{0x07, 0x00})  // ActionStop, ActionEnd
        .showFrame()
        .build();
}

void writeInstallation(const TempDir& dir) {
    dir.write("swf/card.swf", templateMovie());
    dir.write("files.db",
              buildArchive({{"swf\\extra\\poster.swf", templateMovie()}, {"swf\\extra\\posterConfig.txt", Bytes{'x'}}})
                  .take());
    dir.write("configs.txt", "movie\tvariable\ttype\tvalue\n"
                             "card\ttitle\ts\tHallo\n"
                             "card\tcount\ti\t3\n"
                             "card\tshown\tb\ttrue\n"
                             "poster\theadline\ts\tSale\n");
    dir.write("selectLists.txt", "text\tlist\tfile\n"
                                 "Visiten+karte\tmovies\tcard\n"
                                 "Arial\tfonts\tarial\n");
    dir.write("texts.txt", "name\tvalue\nwelcome\tHallo\n");
}

}  // namespace tarvenox::test
