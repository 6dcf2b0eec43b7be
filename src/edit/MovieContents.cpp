// Describing what a save can change in a movie.
#include "edit/MovieContents.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <map>
#include <set>

#include "common/ByteReader.h"
#include "common/Cp1252.h"
#include "font/StaticTextString.h"
#include "swf/JpegFrame.h"
#include "swf/SWFBackgroundColor.h"
#include "swf/SWFBitReader.h"
#include "swf/SWFDefineShape.h"
#include "swf/SWFDefineSound.h"
#include "swf/SWFDoAction.h"
#include "swf/SWFEditText.h"
#include "swf/SWFExportAssets.h"
#include "swf/SWFFile.h"
#include "swf/SWFFont.h"
#include "swf/SWFMatrix.h"
#include "swf/SWFStaticText.h"

namespace tarvenox {

namespace {

// A movie's text as a product text, when it comes back unchanged from the product text:
// a name that the command line can give. nullopt for a name that cannot be typed so.
std::optional<std::string> typableName(const std::string& movieText, MovieTextEncoding encoding) {
    if (movieText.empty()) return std::nullopt;
    std::string product = fromMovieText(movieText, encoding);
    if (toMovieText(product, encoding) != movieText) return std::nullopt;
    return product;
}

// The export name of each exported character: the first name, in file order, whose
// first (id, name) pair names it, as SWFFile::findExportedId finds names.
std::map<std::uint16_t, std::string> exportNames(const SWFFile& movie) {
    std::map<std::string, std::uint16_t> firstId;
    std::map<std::uint16_t, std::string> names;
    for (const auto& tag : movie.tags()) {
        auto* exports = dynamic_cast<const SWFExportAssets*>(tag.get());
        if (exports == nullptr) continue;
        for (const auto& asset : exports->assets()) {
            if (!firstId.emplace(asset.name, asset.id).second) continue;
            if (auto name = typableName(asset.name, movie.textEncoding())) names.emplace(asset.id, std::move(*name));
        }
    }
    return names;
}

std::string slotName(const std::map<std::uint16_t, std::string>& names, std::uint16_t id) {
    auto it = names.find(id);
    return it == names.end() ? idName(id) : it->second;
}

// NumGlyphs of a DefineFont2 or DefineFont3 body; 0 when it is cut short before it.
std::uint16_t glyphCount(ByteSpan body) {
    ByteReader reader(body);
    reader.skip(4);  // FontID, flags, LanguageCode
    reader.skip(reader.readU8());
    const std::uint16_t count = reader.readU16LE();
    return reader.overrun() ? 0 : count;
}

// The size in the header of picture data: a JPEG frame header, a PNG IHDR or a GIF
// screen descriptor (DefineBitsJPEG2 to 4 may hold any of the three).
std::pair<std::uint16_t, std::uint16_t> pictureDataSize(ByteSpan data) {
    static constexpr std::uint8_t png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (data.size() >= 24 && std::equal(std::begin(png), std::end(png), data.begin())) {
        // IHDR comes first: width and height as 32-bit big-endian values.
        ByteReader reader(data.subspan(16));
        const std::uint32_t width = reader.readU32BE();
        const std::uint32_t height = reader.readU32BE();
        if (width <= 0xFFFF && height <= 0xFFFF) return {width, height};
        return {0, 0};
    }
    if (data.size() >= 10 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F') {
        return {peekUI16(data, 6), peekUI16(data, 8)};
    }
    if (auto frame = findJpegFrame(data, 0)) return {frame->width, frame->height};
    return {0, 0};
}

// A bitmap tag described from its header; nullopt for other tags and for a body too
// short to hold its header.
std::optional<PictureSlot> describeBitmap(const SWFTag& tag) {
    const ByteSpan body = tag.body();
    PictureSlot slot;
    slot.tag = std::string(tagName(tag.code()));
    slot.kind = "jpeg";
    ByteReader reader(body);
    slot.id = reader.readU16LE();
    switch (tag.code()) {
        case TagCode::DefineBits:
        case TagCode::DefineBitsJPEG2: {
            std::tie(slot.width, slot.height) = pictureDataSize(reader.rest());
            break;
        }
        case TagCode::DefineBitsJPEG3:
        case TagCode::DefineBitsJPEG4: {
            // The picture data, then (deflated) one alpha byte per pixel up to the end.
            const std::uint32_t alphaOffset = reader.readU32LE();
            if (tag.code() == TagCode::DefineBitsJPEG4) reader.skip(2);  // DeblockParam
            if (reader.overrun() || alphaOffset > reader.remaining()) return std::nullopt;
            std::tie(slot.width, slot.height) = pictureDataSize(reader.rest().first(alphaOffset));
            slot.alpha = reader.remaining() > alphaOffset;
            break;
        }
        case TagCode::DefineBitsLossless:
        case TagCode::DefineBitsLossless2: {
            slot.kind = "lossless";
            reader.skip(1);  // BitmapFormat
            slot.width = reader.readU16LE();
            slot.height = reader.readU16LE();
            slot.alpha = tag.code() == TagCode::DefineBitsLossless2;
            break;
        }
        default: return std::nullopt;
    }
    if (reader.overrun()) return std::nullopt;
    return slot;
}

// The character placed and its matrix, of a PlaceObject, PlaceObject2 or PlaceObject3
// that places a new character; nullopt for other tags and for one that moves a
// character already placed.
std::optional<std::pair<std::uint16_t, SWFMatrix>> placedCharacter(const SWFTag& tag) {
    const ByteSpan body = tag.body();
    ByteReader reader(body);
    std::uint16_t id = 0;
    bool hasMatrix = true;
    switch (tag.code()) {
        case TagCode::PlaceObject: {
            id = reader.readU16LE();
            reader.skip(2);  // Depth
            break;
        }
        case TagCode::PlaceObject2:
        case TagCode::PlaceObject3: {
            const std::uint8_t flags = reader.readU8();
            const std::uint8_t flags2 = tag.code() == TagCode::PlaceObject3 ? reader.readU8() : 0;
            constexpr std::uint8_t hasCharacter = 0x02;
            constexpr std::uint8_t matrixFlag = 0x04;
            constexpr std::uint8_t hasClassName = 0x08;  // flags2
            constexpr std::uint8_t hasImage = 0x10;      // flags2
            if ((flags & hasCharacter) == 0) return std::nullopt;
            reader.skip(2);  // Depth
            if ((flags2 & hasClassName) || (flags2 & hasImage)) {
                if (!reader.readCString()) return std::nullopt;
            }
            id = reader.readU16LE();
            hasMatrix = (flags & matrixFlag) != 0;
            break;
        }
        default: return std::nullopt;
    }
    if (reader.overrun()) return std::nullopt;
    SWFMatrix matrix{.hasScale = true, .scaleX = 1 << 16, .scaleY = 1 << 16};
    if (hasMatrix) {
        SWFBitReader bits(reader.rest());
        matrix = SWFMatrix::read(bits);
        if (bits.overrun()) return std::nullopt;
    }
    return std::pair{id, matrix};
}

// The rectangle's corners taken through the matrix, as the smallest upright rectangle
// that holds them, in pixels.
StageBounds onStage(const SWFRect& rect, const SWFMatrix& m) {
    const double scaleX = m.hasScale ? m.scaleX / 65536.0 : 1.0;
    const double scaleY = m.hasScale ? m.scaleY / 65536.0 : 1.0;
    const double skew0 = m.hasRotate ? m.rotateSkew0 / 65536.0 : 0.0;
    const double skew1 = m.hasRotate ? m.rotateSkew1 / 65536.0 : 0.0;
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    bool first = true;
    for (const double x : {double(rect.xMin), double(rect.xMax)}) {
        for (const double y : {double(rect.yMin), double(rect.yMax)}) {
            const double sx = x * scaleX + y * skew1 + m.translateX;
            const double sy = x * skew0 + y * scaleY + m.translateY;
            xMin = first ? sx : std::min(xMin, sx);
            xMax = first ? sx : std::max(xMax, sx);
            yMin = first ? sy : std::min(yMin, sy);
            yMax = first ? sy : std::max(yMax, sy);
            first = false;
        }
    }
    return {xMin / 20, yMin / 20, (xMax - xMin) / 20, (yMax - yMin) / 20};
}

// The shapes that show the pictures, and where the first frame places them.
void findWherePicturesAreDrawn(const SWFFile& movie, std::vector<PictureSlot>& pictures) {
    std::map<std::uint16_t, PictureSlot*> byId;
    for (auto& picture : pictures) byId.emplace(picture.id, &picture);
    std::map<std::uint16_t, std::pair<SWFRect, std::vector<PictureSlot*>>> shapes;
    for (const auto& tag : movie.tags()) {
        auto* shape = dynamic_cast<const SWFDefineShape*>(tag.get());
        if (shape == nullptr) continue;
        auto styles = shape->styles();
        if (!styles || shapes.count(styles->shapeId) != 0) continue;
        std::vector<PictureSlot*> shown;
        for (const auto& fill : styles->fillStyles) {
            auto picture = byId.find(fill.bitmapId);
            if (!fill.isBitmap() || picture == byId.end()) continue;
            if (std::find(shown.begin(), shown.end(), picture->second) != shown.end()) continue;
            shown.push_back(picture->second);
            picture->second->shapes.push_back(styles->shapeId);
        }
        if (!shown.empty()) shapes.emplace(styles->shapeId, std::pair{styles->bounds, std::move(shown)});
    }
    if (shapes.empty()) return;
    for (const auto& tag : movie.tags()) {
        if (tag->code() == TagCode::ShowFrame) break;
        auto placed = placedCharacter(*tag);
        if (!placed) continue;
        auto shape = shapes.find(placed->first);
        if (shape == shapes.end()) continue;
        const StageBounds bounds = onStage(shape->second.first, placed->second);
        for (PictureSlot* picture : shape->second.second) picture->placements.push_back({placed->first, bounds});
    }
}

// A pushed value as the text and type letter of a variable; nullopt for a value that is
// not a constant (a register, null, undefined).
std::optional<TemplateVariable> typedValue(const SWFDoAction::VariableValue& assigned, MovieTextEncoding encoding) {
    TemplateVariable variable{fromMovieText(assigned.name, encoding), 's', ""};
    const ByteSpan payload = assigned.value.bytes.subspan(1);
    auto number = [](double value) {
        char text[32];
        auto end = std::to_chars(text, text + sizeof text, value).ptr;
        return std::string(text, end);
    };
    switch (assigned.value.type) {
        case PushType::String:
        case PushType::Constant8:
        case PushType::Constant16:
            if (!assigned.text) return std::nullopt;
            variable.value = fromMovieText(*assigned.text, encoding);
            break;
        case PushType::Boolean:
            variable.type = 'b';
            variable.value = payload[0] != 0 ? "true" : "false";
            break;
        case PushType::Float:
            variable.type = 'd';
            variable.value = number(std::bit_cast<float>(peekUI32(payload, 0)));
            break;
        case PushType::Double:
            variable.type = 'd';
            variable.value =
                number(std::bit_cast<double>(std::uint64_t(peekUI32(payload, 0)) << 32 | peekUI32(payload, 4)));
            break;
        case PushType::Integer:
            variable.type = 'i';
            variable.value = std::to_string(static_cast<std::int32_t>(peekUI32(payload, 0)));
            break;
        default: return std::nullopt;
    }
    return variable;
}

// The assignments of the first DoAction, where the first frame holds one.
std::vector<TemplateVariable> firstFrameVariables(const SWFFile& movie) {
    std::vector<TemplateVariable> variables;
    for (const auto& tag : movie.tags()) {
        if (tag->code() == TagCode::ShowFrame) break;
        auto* doAction = dynamic_cast<const SWFDoAction*>(tag.get());
        if (doAction == nullptr) continue;
        for (const auto& assigned : doAction->assignedValues()) {
            if (auto variable = typedValue(assigned, movie.textEncoding())) variables.push_back(std::move(*variable));
        }
        break;
    }
    return variables;
}

FontUse fontUse(const FontCodeTables& fonts, std::uint16_t id, MovieTextEncoding encoding) {
    const SWFFont* font = fonts.font(id);
    return {font ? fromMovieText(font->getFontName(), encoding) : "", id};
}

}  // namespace

std::string idName(std::uint16_t id) { return std::to_string(id); }

MovieContents describeChangeable(const SWFFile& movie) {
    MovieContents out;
    const MovieTextEncoding encoding = movie.textEncoding();
    const auto exported = exportNames(movie);
    FontCodeTables fonts(movie);
    std::set<std::string> fontNames;
    for (const auto& tag : movie.tags()) {
        // A body cut short names no character: nothing in it can be addressed.
        if (tag->length() < 2) continue;
        const std::uint16_t id = tag->characterId();
        if (auto picture = describeBitmap(*tag)) {
            picture->name = slotName(exported, picture->id);
            out.pictures.push_back(std::move(*picture));
        } else if (auto* font = dynamic_cast<const SWFFont*>(tag.get())) {
            // A font is named by its name where it is the first of that name.
            auto name = typableName(font->getFontName(), encoding);
            const bool named = name && fontNames.insert(*name).second;
            out.fonts.push_back(
                {named ? *name : idName(id), id, std::string(tagName(tag->code())), glyphCount(tag->body())});
        } else if (auto* sound = dynamic_cast<const SWFDefineSound*>(tag.get())) {
            auto format = sound->format();
            if (!format) continue;
            out.sounds.push_back({slotName(exported, id), id, SWFDefineSound::formatName(format->soundFormat),
                                  SWFDefineSound::rateHz(format->soundRate), format->sampleCount});
        } else if (auto* background = dynamic_cast<const SWFBackgroundColor*>(tag.get())) {
            if (!out.background && background->color() >= 0) out.background = background->color();
        } else if (tag->code() == TagCode::DefineEditText) {
            auto field = SWFEditText::read(tag->body());
            if (!field || field->variableName.empty()) continue;
            TextSlot text{fromMovieText(field->variableName, encoding), field->id,
                          field->initialText ? displayMovieText(*field->initialText, encoding) : "", std::nullopt};
            if (field->fontId) text.font = fontUse(fonts, *field->fontId, encoding);
            out.texts.push_back(std::move(text));
        } else if (tag->code() == TagCode::DefineText || tag->code() == TagCode::DefineText2) {
            auto text = SWFStaticText::read(tag->body(), tag->code() == TagCode::DefineText2);
            if (!text) continue;
            StaticTextSlot slot{text->id, unicodeToUtf8(staticTextString(*text, fonts)), {}};
            for (const std::uint16_t font : staticTextFonts(*text))
                slot.fonts.push_back(fontUse(fonts, font, encoding));
            out.staticTexts.push_back(std::move(slot));
        }
    }
    findWherePicturesAreDrawn(movie, out.pictures);
    out.variables = firstFrameVariables(movie);
    return out;
}

}  // namespace tarvenox
