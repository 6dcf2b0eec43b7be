// Extraction of the codes 32 to 255 from a font engine: the installed fonts the setup
// script provides, the engine's fallbacks, and a scripted engine for the edge cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "NativeOutlineBuilder.h"
#include "common/Texts.h"
#include "font/FontEngine.h"
#include "font/GlyphOutlines.h"

namespace tarvenox {
namespace {

bool isNull(const Glyph& g) { return dynamic_cast<const NullGlyph*>(&g) != nullptr; }
const Glyph& glyphOf(const GlyphOutlines& o, unsigned char code) { return *o.glyphs.at(code - 32); }

// The lowest and highest contour start points.
std::pair<int, int> verticalExtent(const Glyph& g) {
    std::pair<int, int> e{INT_MAX, INT_MIN};
    for (const Contour& c : g.contours()) e = {std::min(e.first, c.startY), std::max(e.second, c.startY)};
    return e;
}

TEST(GlyphOutlines, InstalledFaceEndToEnd) {
    // A face that is not installed gets the closest match.
    for (const char* face : {"DejaVu Sans", "Liberation Sans", "No Such Face Anywhere"}) {
        SCOPED_TRACE(face);
        GlyphOutlines o = extractGlyphOutlines(face);
        ASSERT_EQ(o.glyphs.size(), 224u);
        EXPECT_TRUE(o.report.messages().empty());
        EXPECT_TRUE(isNull(glyphOf(o, ' ')));
        EXPECT_GT(o.advances[' '], 0);  // the space has no outline but a width

        const Glyph& a = glyphOf(o, 'A');
        ASSERT_FALSE(isNull(a));
        EXPECT_FALSE(a.contours().empty());
        // "A" lies on the baseline, its contours starting no higher than the cap height
        // (about 0.7 of the 1024-unit em; y upwards).
        auto [low, high] = verticalExtent(a);
        EXPECT_GE(low, 0);
        EXPECT_GT(high, 600);
        EXPECT_LT(high, 850);

        // Windows-1252 codes are looked up as Unicode: 0x80 is the euro sign, 0x81 is
        // unassigned and has no glyph.
        EXPECT_FALSE(isNull(glyphOf(o, 0x80)));
        EXPECT_TRUE(isNull(glyphOf(o, 0x81)));
        EXPECT_FALSE(isNull(glyphOf(o, 0xFF)));  // ÿ

        EXPECT_GT(o.advances['W'], o.advances['i']);
        for (int c = 32; c < 256; ++c) {
            EXPECT_GE(o.advances[c], 0) << c;
            EXPECT_LT(o.advances[c], 2048) << c;
        }
    }
}

TEST(GlyphOutlines, AdvancesAndLineMetricsAreTheFacesOwnOnTheEmOf1024Units) {
    // DejaVu Sans: 2048 font units to the em; the space advances 651 units, "m" 1995;
    // OS/2 win ascent 1901 and descent 483, no line gap. Halved onto the 1024-unit em,
    // unrounded by hinting.
    GlyphOutlines o = extractGlyphOutlines("DejaVu Sans");
    EXPECT_NEAR(o.advances[' '], 325.5, 0.5);
    EXPECT_NEAR(o.advances['m'], 997.5, 0.5);
    EXPECT_NEAR(o.layout.ascent, 950.5, 0.5);
    EXPECT_NEAR(o.layout.descent, 241.5, 0.5);
    EXPECT_EQ(o.layout.leading, 0);
}

TEST(GlyphOutlines, FaceNamesListTheInstalledFamilies) {
    auto names = systemFontEngine().faceNames();
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
    for (const char* face : {"DejaVu Sans", "DejaVu Serif", "Liberation Sans", "Liberation Mono"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), face), names.end()) << face;
    }
}

// An engine whose fonts answer from a script.
class ScriptedEngine : public FontEngine {
public:
    struct Font : EngineFont {
        explicit Font(ScriptedEngine& e) : engine(e) {}
        Bytes glyphOutline(std::uint8_t code, const OutlineMatrix& matrix) override {
            engine.matrices.push_back(matrix);
            engine.codes.push_back(code);
            return code == 'B' ? test::nativeOutline({{{0, 0}, {{CurveType::Line, {{16, 0}}}}}}) : Bytes{};
        }
        std::array<std::int32_t, 256> charWidths() override { return {}; }
        std::array<std::int32_t, 256> advances() override {
            std::array<std::int32_t, 256> w{};
            for (int c = 0; c < 256; ++c) w[c] = c;
            return w;
        }
        FontLayout layout() override { return {900, 200, 30}; }
        ScriptedEngine& engine;
    };

    std::unique_ptr<EngineFont> createFont(const FontRequest& request) override {
        requests.push_back(request);
        return available ? std::make_unique<Font>(*this) : nullptr;
    }
    std::vector<std::string> faceNames() override { return {}; }

    bool available = true;
    std::vector<FontRequest> requests;
    std::vector<std::uint8_t> codes;
    std::vector<OutlineMatrix> matrices;
};

TEST(GlyphOutlines, AsksForEveryCodeAtEmHeight64ThroughTheNearIdentityMatrix) {
    ScriptedEngine engine;
    GlyphOutlines o = extractGlyphOutlines(engine, "Face");
    ASSERT_EQ(engine.requests.size(), 1u);
    EXPECT_EQ(engine.requests[0].faceName, "Face");
    EXPECT_EQ(engine.requests[0].height, -64);  // negative: the em height
    EXPECT_EQ(engine.requests[0].weight, 400);

    ASSERT_EQ(engine.codes.size(), 224u);
    for (int i = 0; i < 224; ++i) EXPECT_EQ(engine.codes[i], 32 + i);
    const OutlineMatrix& m = engine.matrices.front();
    EXPECT_EQ(m.eM11, 0x10001);
    EXPECT_EQ(m.eM12, 1);
    EXPECT_EQ(m.eM21, 1);
    EXPECT_EQ(m.eM22, 0x10001);

    ASSERT_EQ(o.glyphs.size(), 224u);
    for (int c = 32; c < 256; ++c) EXPECT_EQ(isNull(glyphOf(o, c)), c != 'B') << c;
    EXPECT_EQ(o.advances[0], 0);
    EXPECT_EQ(o.advances[255], 255);
    EXPECT_EQ(o.layout.ascent, 900);
    EXPECT_EQ(o.layout.leading, 30);
}

TEST(GlyphOutlines, NoFontAtAllIsReportedOnceAndGivesEmptyGlyphs) {
    ScriptedEngine engine;
    engine.available = false;
    GlyphOutlines o = extractGlyphOutlines(engine, "Face");
    EXPECT_FALSE(o.report.failed());
    EXPECT_EQ(o.report.messages(), (std::vector<UserMessage>{{text("font.noFont"), MessageKind::OkCancel}}));
    ASSERT_EQ(o.glyphs.size(), 224u);
    for (const auto& g : o.glyphs) EXPECT_TRUE(isNull(*g));
    for (int w : o.advances) EXPECT_EQ(w, 0);
    EXPECT_EQ(o.layout.ascent, 0);
}

}  // namespace
}  // namespace tarvenox
