// The advances of an embedded font's glyphs.
#include "font/GlyphAdvances.h"

#include <algorithm>
#include <map>
#include <optional>

#include "font/EmbeddedFont.h"
#include "swf/SWFFile.h"
#include "swf/SWFStaticText.h"
#include "swf/TagCode.h"

namespace tarvenox {

namespace {

double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// The advance, in em units, that the movie's static texts most often give each of the
// font's glyphs where no space follows it: where the blank between its ink and the next
// glyph's ink on the line is not wider than the usual one by half a space (half a
// typical advance); and that usual blank.
struct TextSpacing {
    std::map<std::uint32_t, double> advances;
    std::optional<double> blank;
};

TextSpacing spacingInTexts(const SWFFile& movie, std::uint16_t fontId, const EmbeddedFont& font) {
    std::vector<std::optional<SWFRect>> ink;
    for (const Bytes& shape : font.shapes) ink.push_back(glyphShapeBounds(shape));
    struct Step {
        std::uint32_t glyph = 0;
        double advance = 0;
        std::optional<double> blank;  // to the next glyph's ink
    };
    std::vector<Step> steps;
    for (const auto& tag : movie.tags()) {
        if (tag->code() != TagCode::DefineText && tag->code() != TagCode::DefineText2) continue;
        const auto text = SWFStaticText::read(tag->body(), tag->code() == TagCode::DefineText2);
        if (!text) continue;
        std::optional<std::uint16_t> current;
        std::uint16_t height = 0;
        bool follows = false;  // the next glyph continues the last step's line
        for (const auto& record : text->records) {
            if (record.fontId) {
                current = record.fontId;
                height = record.textHeight;
            }
            if (record.xOffset || record.yOffset) follows = false;
            if (current != fontId || height == 0) {
                follows = false;
                continue;
            }
            for (const auto& glyph : record.glyphs) {
                const auto inked = [&](std::uint32_t index) { return index < ink.size() && ink[index]; };
                if (follows && inked(steps.back().glyph) && inked(glyph.index)) {
                    steps.back().blank = steps.back().advance + ink[glyph.index]->xMin - ink[steps.back().glyph]->xMax;
                }
                steps.push_back({glyph.index, double(glyph.advance) * font.em / height, std::nullopt});
                follows = true;
            }
        }
    }
    std::vector<double> advances, blanks;
    for (const auto& step : steps) {
        if (step.advance > 0) advances.push_back(step.advance);
        if (step.blank) blanks.push_back(*step.blank);
    }
    if (advances.empty()) return {};
    TextSpacing result;
    if (!blanks.empty()) result.blank = median(blanks);
    const double halfSpace = median(advances) / 4;
    const double usual = blanks.empty() ? 0 : std::min(median(blanks), halfSpace);
    // A line's last glyph may be given no advance at all: it moves the pen nowhere seen.
    std::map<std::uint32_t, std::vector<double>> own, any;
    for (const auto& step : steps) {
        if (step.advance <= 0) continue;
        any[step.glyph].push_back(step.advance);
        if (step.blank && *step.blank - usual < halfSpace) own[step.glyph].push_back(step.advance);
    }
    for (const auto& [glyph, list] : any) {
        const auto spaced = own.find(glyph);
        result.advances.emplace(glyph, median(spaced != own.end() ? spaced->second : list));
    }
    return result;
}

}  // namespace

std::vector<double> glyphAdvances(const EmbeddedFont& font, const SWFFile& movie, std::uint16_t fontId) {
    std::vector<double> advances(font.shapes.size());
    if (font.layout) {
        for (std::size_t i = 0; i < advances.size(); ++i) advances[i] = font.layout->advances[i];
        return advances;
    }
    const auto inTexts = spacingInTexts(movie, fontId, font).advances;
    for (std::size_t i = 0; i < advances.size(); ++i) {
        if (const auto it = inTexts.find(static_cast<std::uint32_t>(i)); it != inTexts.end()) {
            advances[i] = it->second;
        } else if (const auto box = glyphShapeBounds(font.shapes[i])) {
            advances[i] = box->xMax + std::max(box->xMin, 0);
        } else {
            advances[i] = font.em / 4.0;
        }
    }
    return advances;
}

std::optional<double> usualInkBlank(const EmbeddedFont& font, const SWFFile& movie, std::uint16_t fontId) {
    return spacingInTexts(movie, fontId, font).blank;
}

double spaceAdvance(const EmbeddedFont& font, const std::vector<double>& advances) {
    // A font without a layout has no advance of its own for a space glyph, which has no
    // edges to measure.
    if (const auto space = font.glyphOf(U' ');
        font.layout && space && *space < advances.size() && advances[*space] > 0) {
        return advances[*space];
    }
    // Half a typical glyph's advance: fonts are drawn at many scales, so a fixed part of
    // the em would not fit them all.
    std::vector<double> drawn;
    for (std::size_t i = 0; i < advances.size() && i < font.shapes.size(); ++i) {
        if (advances[i] > 0 && glyphShapeBounds(font.shapes[i])) drawn.push_back(advances[i]);
    }
    return drawn.empty() ? 0.28 * font.em : median(drawn) / 2;
}

}  // namespace tarvenox
