// Reading static text back as characters.
#include "font/StaticTextString.h"

#include <algorithm>
#include <cmath>

#include "font/EmbeddedFont.h"
#include "font/FontCodes.h"
#include "font/GlyphAdvances.h"
#include "swf/SWFFile.h"
#include "swf/SWFFont.h"
#include "swf/SWFStaticText.h"

namespace tarvenox {

FontCodeTables::FontCodeTables(const SWFFile& movie) : movie_(movie), encoding_(movie.textEncoding()) {
    for (const auto& tag : movie.tags()) {
        if (auto* font = dynamic_cast<const SWFFont*>(tag.get()); font && tag->length() >= 2) {
            fonts_.emplace(tag->characterId(), font);  // the first of an id is the one players use
        }
    }
}

const SWFFont* FontCodeTables::font(std::uint16_t id) const {
    auto it = fonts_.find(id);
    return it == fonts_.end() ? nullptr : it->second;
}

const FontCodeTables::Spacing* FontCodeTables::spacing(std::uint16_t id) {
    auto cached = spacings_.find(id);
    if (cached == spacings_.end()) {
        std::optional<Spacing> read;
        if (const SWFFont* tag = font(id)) {
            if (auto embedded = EmbeddedFont::read(tag->body(), tag->code(), encoding_)) {
                const std::vector<double> advances = glyphAdvances(*embedded, movie_, id);
                std::vector<std::optional<std::pair<double, double>>> extent;
                for (std::size_t i = 0; i < embedded->shapes.size(); ++i) {
                    if (embedded->layout) {
                        // A glyph without an advance says nothing of where the next one goes.
                        extent.emplace_back(advances[i] > 0 ? std::optional(std::pair<double, double>(0, advances[i]))
                                                            : std::nullopt);
                    } else if (const auto box = glyphShapeBounds(embedded->shapes[i])) {
                        extent.emplace_back(std::pair<double, double>(box->xMin, box->xMax));
                    } else {
                        extent.emplace_back();
                    }
                }
                read = Spacing{embedded->em, std::move(extent), spaceAdvance(*embedded, advances)};
            }
        }
        cached = spacings_.emplace(id, std::move(read)).first;
    }
    return cached->second ? &*cached->second : nullptr;
}

const std::vector<char32_t>& FontCodeTables::codePoints(std::uint16_t id) {
    auto cached = codes_.find(id);
    if (cached != codes_.end()) return cached->second;
    const SWFFont* tag = font(id);
    return codes_.emplace(id, tag ? fontCodePoints(tag->body(), encoding_) : std::vector<char32_t>{}).first->second;
}

namespace {

// A glyph as the text is read: its character, whether it starts a new line, and the
// blank between it and the glyph before it on the line (see Spacing), in spaces of that
// glyph's font (unknown at the start of a line, or next to a glyph whose extent is not
// known).
struct ReadGlyph {
    char32_t code = 0;
    bool startsLine = false;
    std::optional<double> blank;
};

std::vector<ReadGlyph> readGlyphs(const SWFStaticText& text, FontCodeTables& fonts) {
    constexpr char32_t unknown = U'\uFFFD';
    std::vector<ReadGlyph> glyphs;
    std::optional<std::uint16_t> font;
    std::uint16_t height = 0;
    std::optional<std::int16_t> lineY;
    bool newLine = false;  // the next glyph starts a new line
    double x = 0;
    // Where the line's last glyph ends, in twips, while hasEnd (a plain double and flag:
    // GCC takes an optional's value here for possibly uninitialised).
    double end = 0;
    bool hasEnd = false;
    double space = 0;  // a space of that glyph's font, in twips
    for (const auto& record : text.records) {
        if (record.fontId) {
            font = record.fontId;
            height = record.textHeight;
        }
        if (record.yOffset) {
            if (lineY && *record.yOffset != *lineY) newLine = true;
            lineY = record.yOffset;
        }
        if (record.xOffset) x = *record.xOffset;
        const std::vector<char32_t>* codes = font ? &fonts.codePoints(*font) : nullptr;
        const FontCodeTables::Spacing* spacing = font && height > 0 ? fonts.spacing(*font) : nullptr;
        for (const auto& entry : record.glyphs) {
            const char32_t code = codes && entry.index < codes->size() ? (*codes)[entry.index] : 0;
            ReadGlyph glyph{code == 0 ? unknown : code, newLine && !glyphs.empty(), std::nullopt};
            if (newLine) hasEnd = false;
            newLine = false;
            const auto* extent = spacing && entry.index < spacing->extent.size() && spacing->extent[entry.index]
                                     ? &*spacing->extent[entry.index]
                                     : nullptr;
            if (extent != nullptr && spacing->space > 0) {
                const double scale = double(height) / spacing->em;
                if (hasEnd) glyph.blank = (x + extent->first * scale - end) / space;
                end = x + extent->second * scale;
                hasEnd = true;
                space = spacing->space * scale;
            } else if (code != U' ') {
                hasEnd = false;
            }
            x += entry.advance;
            glyphs.push_back(glyph);
        }
    }
    return glyphs;
}

}  // namespace

std::u32string staticTextString(const SWFStaticText& text, FontCodeTables& fonts) {
    const std::vector<ReadGlyph> glyphs = readGlyphs(text, fonts);
    // The text's usual blank between glyphs is its letters' side bearings and spacing,
    // not a space: the median, unless it is as wide as half a space itself (a text of
    // single letters apart).
    std::vector<double> blanks;
    for (const auto& glyph : glyphs) {
        if (glyph.blank) blanks.push_back(*glyph.blank);
    }
    double usual = 0;
    if (!blanks.empty()) {
        std::nth_element(blanks.begin(), blanks.begin() + blanks.size() / 2, blanks.end());
        usual = std::min(blanks[blanks.size() / 2], 0.5);
    }
    std::u32string out;
    for (const auto& glyph : glyphs) {
        if (glyph.startsLine) {
            out += U'\n';
        } else if (glyph.blank && *glyph.blank - usual >= 0.5 && glyph.code != U' ' && !out.empty() &&
                   out.back() != U' ') {
            out += U' ';
        }
        out += glyph.code;
    }
    return out;
}

std::u32string staticTextString(const SWFFile& movie, const SWFStaticText& text) {
    FontCodeTables fonts(movie);
    return staticTextString(text, fonts);
}

std::vector<std::uint16_t> staticTextFonts(const SWFStaticText& text) {
    std::vector<std::uint16_t> ids;
    for (const auto& record : text.records) {
        if (record.fontId && std::find(ids.begin(), ids.end(), *record.fontId) == ids.end()) {
            ids.push_back(*record.fontId);
        }
    }
    return ids;
}

}  // namespace tarvenox
