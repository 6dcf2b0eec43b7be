// The font engine of this system: fontconfig finds the installed font for a face name,
// FreeType loads it and delivers outlines and advance widths.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_DRIVER_H
#include FT_MODULE_H

#include <algorithm>
#include <cmath>
#include <mutex>
#include <set>

#include "common/Cp1252.h"
#include "font/FontEngine.h"
#include "font/FreeTypeOutline.h"

namespace tarvenox {

namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

// The font units between the top and the bottom of a character cell. Windows takes
// the OS/2 table's usWinAscent + usWinDescent; fonts without a usable OS/2 table fall
// back to the hhea ascender minus descender, and to the em square as a last resort.
long cellHeightUnits(FT_Face face) {
    auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF) {
        long win = long(os2->usWinAscent) + long(os2->usWinDescent);
        if (win > 0) return win;
    }
    long hhea = long(face->ascender) - long(face->descender);
    return hhea > 0 ? hhea : long(face->units_per_EM);
}

// Pixels per em for a request height: a positive height is matched against the cell
// height, a negative one is the em height itself. TrueType outlines are hinted at a
// whole number of pixels per em, as Windows scales them; FreeType takes at most 0xFFFF.
FT_UInt pixelsPerEm(FT_Face face, int height) {
    if (height == 0) height = 12;  // no height asked for: a common screen size
    double ppem = height < 0 ? -double(height) : double(height) * face->units_per_EM / double(cellHeightUnits(face));
    return static_cast<FT_UInt>(std::clamp(std::round(ppem), 1.0, 65535.0));
}

class FreeTypeFont final : public EngineFont {
public:
    explicit FreeTypeFont(FT_Face face) : face_(face) {
        // Windows-1252 codes are looked up as Unicode. A symbol font has only a
        // Microsoft symbol cmap, whose codes sit at U+F000 plus the byte.
        symbol_ =
            FT_Select_Charmap(face_, FT_ENCODING_UNICODE) != 0 && FT_Select_Charmap(face_, FT_ENCODING_MS_SYMBOL) == 0;
    }
    ~FreeTypeFont() override { FT_Done_Face(face_); }

    Bytes glyphOutline(std::uint8_t code, const OutlineMatrix& matrix) override {
        return outlineOf(glyphIndex(code), matrix);
    }

    std::optional<std::int32_t> characterAdvance(char32_t codePoint) override {
        const FT_UInt index = characterIndex(codePoint);
        if (index == 0 || !load(index)) return std::nullopt;
        return static_cast<std::int32_t>((face_->glyph->linearHoriAdvance + 2048) >> 12);
    }

    Bytes characterOutline(char32_t codePoint, const OutlineMatrix& matrix) override {
        return outlineOf(characterIndex(codePoint), matrix);
    }

    Bytes outlineOf(FT_UInt index, const OutlineMatrix& matrix) {
        if (index == 0 || !load(index)) return {};
        if (face_->glyph->format != FT_GLYPH_FORMAT_OUTLINE || face_->glyph->outline.n_contours <= 0) {
            return {};
        }
        return outlineToNative(face_->glyph->outline, matrix);
    }

    std::array<std::int32_t, 256> charWidths() override {
        std::array<std::int32_t, 256> widths{};
        for (int code = 0; code < 256; ++code) {
            // Index 0 is the font's default glyph, which also answers codes it lacks.
            if (load(glyphIndex(static_cast<std::uint8_t>(code)))) {
                widths[code] = static_cast<std::int32_t>((face_->glyph->advance.x + 32) >> 6);
            }
        }
        return widths;
    }

    std::array<std::int32_t, 256> advances() override {
        std::array<std::int32_t, 256> units{};
        for (int code = 0; code < 256; ++code) {
            // linearHoriAdvance is the unhinted advance in 16.16 pixels; an outline unit
            // is 1/16 pixel.
            if (load(glyphIndex(static_cast<std::uint8_t>(code)))) {
                units[code] = static_cast<std::int32_t>((face_->glyph->linearHoriAdvance + 2048) >> 12);
            }
        }
        return units;
    }

    FontLayout layout() override {
        // Windows lays lines out by the OS/2 table's win metrics, with the extra space of
        // the hhea line gap that they do not already cover; fonts without a usable OS/2
        // table have the hhea values alone.
        long ascent = face_->ascender, descent = -face_->descender;
        long leading = face_->height - (face_->ascender - face_->descender);
        auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
        if (os2 != nullptr && os2->version != 0xFFFF && long(os2->usWinAscent) + os2->usWinDescent > 0) {
            const long hheaLine = face_->height;
            ascent = os2->usWinAscent;
            descent = os2->usWinDescent;
            leading = hheaLine - (ascent + descent);
        }
        // Font units to 26.6 pixels at the created size, then to 1/16 pixel.
        auto scaled = [&](long v) {
            return static_cast<std::int32_t>((FT_MulFix(std::max(v, 0L), face_->size->metrics.y_scale) + 2) >> 2);
        };
        return {scaled(ascent), scaled(descent), scaled(leading)};
    }

private:
    FT_UInt glyphIndex(std::uint8_t code) const {
        if (symbol_) {
            FT_UInt index = FT_Get_Char_Index(face_, 0xF000u + code);
            return index != 0 ? index : FT_Get_Char_Index(face_, code);
        }
        return FT_Get_Char_Index(face_, cp1252ToUnicode(code));
    }

    FT_UInt characterIndex(char32_t codePoint) const {
        if (symbol_) return codePoint < 0x100 ? FT_Get_Char_Index(face_, 0xF000u + codePoint) : 0;
        return FT_Get_Char_Index(face_, codePoint);
    }

    // Hinting stays on: the outlines are those of the requested pixel size. Embedded
    // bitmaps are skipped, since only outlines are wanted.
    bool load(FT_UInt index) { return FT_Load_Glyph(face_, index, FT_LOAD_NO_BITMAP) == 0; }

    FT_Face face_;
    bool symbol_ = false;
};

class FreeTypeFontEngine final : public FontEngine {
public:
    FreeTypeFontEngine() {
        if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
        // The classic TrueType hinting, which fits points to the pixel grid in x as well
        // as in y, as Windows GDI does for outlines and character widths. A FreeType
        // built without it keeps its default interpreter.
        if (library_ != nullptr) {
            FT_UInt version = TT_INTERPRETER_VERSION_35;
            FT_Property_Set(library_, "truetype", "interpreter-version", &version);
        }
        FcInit();
    }
    // FcFini releases what fontconfig keeps for the process (its configuration and
    // caches), which the leak checker would otherwise report at exit.
    ~FreeTypeFontEngine() override {
        if (library_ != nullptr) FT_Done_FreeType(library_);
        FcFini();
    }

    std::unique_ptr<EngineFont> createFont(const FontRequest& request) override {
        if (library_ == nullptr) return nullptr;
        std::lock_guard guard(lock_);
        Pattern pattern(FcPatternCreate());
        if (!request.faceName.empty()) {
            FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(request.faceName.c_str()));
        }
        FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(request.weight));
        FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
        FcPatternAddBool(pattern.get(), FC_OUTLINE, FcTrue);
        FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
        FcDefaultSubstitute(pattern.get());
        FcResult result = FcResultNoMatch;
        Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
        if (!match) return nullptr;

        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) return nullptr;
        FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);

        FT_Face face = nullptr;
        if (FT_New_Face(library_, reinterpret_cast<const char*>(file), index, &face) != 0) return nullptr;
        if (!FT_IS_SCALABLE(face) || FT_Set_Pixel_Sizes(face, 0, pixelsPerEm(face, request.height)) != 0) {
            FT_Done_Face(face);
            return nullptr;
        }
        return std::make_unique<FreeTypeFont>(face);
    }

    // Every family name of the installed TrueType and OpenType outline fonts, the
    // localised and the legacy ones (such as "DejaVu Sans Condensed") alike.
    std::vector<std::string> faceNames() override {
        std::lock_guard guard(lock_);
        Pattern pattern(FcPatternCreate());
        FcPatternAddBool(pattern.get(), FC_OUTLINE, FcTrue);
        FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FONTFORMAT, nullptr);
        FcFontSet* fonts = FcFontList(nullptr, pattern.get(), objects);
        FcObjectSetDestroy(objects);
        std::set<std::string> names;
        for (int i = 0; fonts != nullptr && i < fonts->nfont; ++i) {
            FcChar8* format = nullptr;
            if (FcPatternGetString(fonts->fonts[i], FC_FONTFORMAT, 0, &format) != FcResultMatch) continue;
            std::string_view f(reinterpret_cast<const char*>(format));
            if (f != "TrueType" && f != "CFF") continue;
            FcChar8* family = nullptr;
            for (int n = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &family) == FcResultMatch; ++n) {
                names.insert(reinterpret_cast<const char*>(family));
            }
        }
        if (fonts != nullptr) FcFontSetDestroy(fonts);
        return {names.begin(), names.end()};
    }

private:
    FT_Library library_ = nullptr;
    // A save checks the faces on one thread while it converts them on another: fontconfig
    // and the FreeType library are asked one call at a time.
    std::mutex lock_;
};

}  // namespace

FontEngine& systemFontEngine() {
    static FreeTypeFontEngine engine;
    return engine;
}

}  // namespace tarvenox
