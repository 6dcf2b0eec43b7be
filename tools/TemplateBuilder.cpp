// Writes template movies with the engine's own records and tags.
#include "TemplateBuilder.h"

#include <cmath>
#include <stdexcept>
#include <tuple>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "font/FontReplacement.h"
#include "sound/Mp3Sound.h"
#include "swf/Deflate.h"
#include "swf/SWFBitWriter.h"
#include "swf/SWFDefineSound.h"
#include "swf/SWFFile.h"
#include "swf/SWFFont.h"
#include "swf/SWFMatrix.h"
#include "swf/SWFRect.h"
#include "swf/SWFWriter.h"
#include "swf/TagFactory.h"

namespace tarvenox::tools {

namespace {

constexpr int kTwipsPerPixel = 20;

void appendString(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

void appendRect(Bytes& out, std::int32_t width, std::int32_t height) {
    SWFBitWriter writer;
    SWFRect{0, width, 0, height, 0}.write(writer);
    out.insert(out.end(), writer.bytes().begin(), writer.bytes().end());
}

std::unique_ptr<SWFTag> makeTag(TagCode code, Bytes body) { return createTag(code, std::move(body)); }

// A DefineFont2 body without glyphs, named fontName (in the movie's encoding).
Bytes emptyFont(std::uint16_t id, const std::string& fontName) {
    if (fontName.size() > 255) throw std::runtime_error("font name " + fontName + " is longer than 255 bytes");
    Bytes body;
    writeUI16(body, id);
    body.push_back(0x00);  // flags
    body.push_back(0x00);  // LanguageCode
    body.push_back(static_cast<std::uint8_t>(fontName.size()));
    body.insert(body.end(), fontName.begin(), fontName.end());
    writeUI16(body, 0);  // NumGlyphs
    writeUI16(body, 0);  // CodeTableOffset
    return body;
}

}  // namespace

Bytes rectangleShape(std::uint16_t id, std::int32_t width, std::int32_t height, const Bytes& fillStyle) {
    SWFBitWriter shape;
    shape.writeAlignedUI16(id);
    SWFRect{0, width, 0, height, 0}.write(shape);
    shape.writeAlignedByte(1);  // FillStyleCount
    for (std::uint8_t byte : fillStyle) shape.writeAlignedByte(byte);
    shape.writeAlignedByte(0);     // LineStyleCount
    shape.writeAlignedByte(0x10);  // NumFillBits 1, NumLineBits 0
    // StyleChangeRecord: StateFillStyle0 and StateMoveTo, a move to (0, 0), fill style 1.
    shape.writeBits(6, 0b000011);
    shape.writeBits(5, 0);
    shape.writeBits(1, 1);
    // Four StraightEdgeRecords around the rectangle, clockwise.
    const std::int32_t edges[4][2] = {{width, 0}, {0, height}, {-width, 0}, {0, -height}};
    for (const auto& edge : edges) {
        bool vertical = edge[0] == 0;
        std::int32_t delta = vertical ? edge[1] : edge[0];
        int bits = std::max(signedBitCount(delta), 2);
        shape.writeBits(2, 0b11);  // TypeFlag, StraightFlag
        shape.writeBits(4, static_cast<std::uint32_t>(bits - 2));
        shape.writeBits(1, 0);  // GeneralLineFlag
        shape.writeBits(1, vertical ? 1 : 0);
        shape.writeSignedBits(bits, delta);
    }
    shape.writeBits(6, 0);  // EndShapeRecord
    return shape.take();
}

TemplateBuilder::TemplateBuilder(int widthPx, int heightPx, double frameRate, std::uint8_t version)
    : widthPx_(widthPx),
      heightPx_(heightPx),
      frameRate_(frameRate),
      version_(version),
      encoding_(movieTextEncoding(version)) {}

void TemplateBuilder::define(TagCode code, Bytes body) { definitions_.push_back(createTag(code, std::move(body))); }

void TemplateBuilder::place(std::uint16_t id, int x, int y, const std::string& instanceName) {
    // PlaceObject2 with a character, a translation and, for clips, a name.
    Timeline& timeline = timelines_.back();
    Bytes body;
    body.push_back(instanceName.empty() ? 0x06 : 0x26);  // PlaceFlagHasName, HasMatrix, HasCharacter
    writeUI16(body, timeline.nextDepth++);
    writeUI16(body, id);
    SWFMatrix matrix;
    matrix.translateX = x * kTwipsPerPixel;
    matrix.translateY = y * kTwipsPerPixel;
    SWFBitWriter writer;
    matrix.write(writer);
    body.insert(body.end(), writer.bytes().begin(), writer.bytes().end());
    if (!instanceName.empty()) appendString(body, toMovieText(instanceName, encoding_));
    timeline.tags.push_back(makeTag(TagCode::PlaceObject2, std::move(body)));
}

void TemplateBuilder::exportAsset(std::uint16_t id, const std::string& name) {
    // One ExportAssets tag per asset: the customisation finds an asset only as the first
    // one of its tag.
    Bytes body;
    writeUI16(body, 1);
    writeUI16(body, id);
    appendString(body, toMovieText(name, encoding_));
    exports_.push_back(makeTag(TagCode::ExportAssets, std::move(body)));
}

std::uint16_t TemplateBuilder::addFont(const std::string& productName, const std::string& faceName) {
    const std::string fontName = toMovieText(productName, encoding_);
    std::uint16_t id = nextId();
    // A font without glyphs, named as the template calls it; the engine's conversion
    // then fills it from the installed face, keeping the id and the name.
    auto font = std::make_unique<SWFFont>(TagCode::DefineFont2, emptyFont(id, fontName));
    (void)replaceWithSystemFont(*font, fontName, faceName);
    definitions_.push_back(std::move(font));
    fonts_[id] = {productName, faceName};
    return id;
}

std::uint16_t TemplateBuilder::addDeviceFont(const std::string& fontName) {
    std::uint16_t id = nextId();
    define(TagCode::DefineFont2, emptyFont(id, toMovieText(fontName, encoding_)));
    fonts_[id] = {fontName, ""};
    return id;
}

void TemplateBuilder::addTextField(const TextField& field) {
    std::uint16_t id = nextId();
    Bytes body;
    writeUI16(body, id);
    appendRect(body, field.place.width * kTwipsPerPixel, field.place.height * kTwipsPerPixel);
    // HasText (labels), WordWrap and Multiline (several lines), Password 0, ReadOnly
    // (unless editable), HasTextColor, HasMaxLength 0, HasFont; then HasFontClass 0,
    // AutoSize 0, HasLayout, NoSelect (unless editable), Border, WasStatic 0, HTML 0,
    // UseOutlines (the embedded glyphs, so that a replaced font shows; a device font
    // has none).
    const bool deviceFont = fonts_[field.fontId].second.empty();
    std::uint8_t first = field.editable ? 0b0000'0101 : 0b0000'1101;
    if (field.multiline) first |= 0b0110'0000;
    if (!field.text.empty()) first |= 0b1000'0000;
    std::uint8_t second = field.editable ? 0b0010'0000 : 0b0011'0000;
    if (field.border) second |= 0b0000'1000;
    if (!deviceFont) second |= 0b0000'0001;
    body.push_back(first);
    body.push_back(second);
    writeUI16(body, field.fontId);
    writeUI16(body, static_cast<std::uint32_t>(field.sizePx * kTwipsPerPixel));
    body.push_back(static_cast<std::uint8_t>(field.rgb >> 16));
    body.push_back(static_cast<std::uint8_t>(field.rgb >> 8));
    body.push_back(static_cast<std::uint8_t>(field.rgb));
    body.push_back(0xFF);  // opaque
    body.push_back(static_cast<std::uint8_t>(field.align));
    writeUI16(body, 0);  // LeftMargin
    writeUI16(body, 0);  // RightMargin
    writeUI16(body, 0);  // Indent
    writeUI16(body, 0);  // Leading
    appendString(body, toMovieText(field.variable, encoding_));
    if (!field.text.empty()) appendString(body, toMovieText(field.text, encoding_));
    define(TagCode::DefineEditText, std::move(body));
    place(id, field.place.x, field.place.y);
    const auto& [fontName, face] = fonts_[field.fontId];
    layout_.push_back({"text", field.variable.empty() ? field.text : field.variable, field.place, fontName, face,
                       field.sizePx, field.multiline});
}

void TemplateBuilder::addPicture(const std::string& exportName, const Pixels& pixels, StageRect where) {
    if (pixels.width <= 0 || pixels.height <= 0 || pixels.width > 0xFFFF || pixels.height > 0xFFFF ||
        pixels.argb.size() != static_cast<std::size_t>(pixels.width) * pixels.height) {
        throw std::runtime_error("picture " + exportName + " has no valid pixel size");
    }
    std::uint16_t bitmapId = nextId();
    Bytes argb;
    argb.reserve(pixels.argb.size() * 4);
    for (std::uint32_t pixel : pixels.argb) {
        for (int shift : {24, 16, 8, 0}) argb.push_back(static_cast<std::uint8_t>(pixel >> shift));
    }
    Bytes bitmap;
    writeUI16(bitmap, bitmapId);
    bitmap.push_back(5);  // BitmapFormat: 32-bit ARGB
    writeUI16(bitmap, static_cast<std::uint32_t>(pixels.width));
    writeUI16(bitmap, static_cast<std::uint32_t>(pixels.height));
    Bytes packed = zlibCompress(argb);
    bitmap.insert(bitmap.end(), packed.begin(), packed.end());
    define(TagCode::DefineBitsLossless, std::move(bitmap));
    exportAsset(bitmapId, exportName);

    // A clipped bitmap fill (0x41) whose matrix stretches the bitmap over the rectangle;
    // a replaced picture keeps the rectangle because its fill is rescaled to it.
    std::int32_t width = where.width * kTwipsPerPixel;
    std::int32_t height = where.height * kTwipsPerPixel;
    SWFBitWriter fill;
    fill.writeAlignedByte(0x41);
    fill.writeAlignedUI16(bitmapId);
    SWFMatrix matrix;
    matrix.hasScale = true;
    matrix.scaleX = static_cast<std::int32_t>(std::lround(65536.0 * width / pixels.width));
    matrix.scaleY = static_cast<std::int32_t>(std::lround(65536.0 * height / pixels.height));
    matrix.write(fill);
    std::uint16_t shapeId = nextId();
    define(TagCode::DefineShape, rectangleShape(shapeId, width, height, fill.take()));
    place(shapeId, where.x, where.y);
    layout_.push_back({.kind = "picture", .name = exportName, .place = where});
}

void TemplateBuilder::addBadge(const std::string& instanceName, std::uint32_t rgb, StageRect where) {
    beginClip();
    addShape(ShapeOutline::rectangle(rgb << 8 | 0xFF, where.width, where.height), 0, 0);
    placeClip(endClip(), where.x, where.y, instanceName);
    layout_.push_back({.kind = "shape", .name = instanceName, .place = where});
}

std::uint16_t TemplateBuilder::defineShape(const ShapeOutline& shape) {
    std::uint16_t id = nextId();
    define(TagCode::DefineShape3, shape.defineShape3(id));
    return id;
}

void TemplateBuilder::addShape(const ShapeOutline& shape, int x, int y) { place(defineShape(shape), x, y); }

void TemplateBuilder::addButton(StageRect where, const ActionWriter& actions) {
    std::uint16_t light = defineShape(ShapeOutline::rectangle(0xFFFFFF40, where.width, where.height));
    std::uint16_t dark = defineShape(ShapeOutline::rectangle(0x00000040, where.width, where.height));
    std::uint16_t id = nextId();
    // BUTTONRECORDs: the state flags (HitTest 8, Down 4, Over 2, Up 1), the character,
    // its depth, an identity MATRIX and a CXFORMWITHALPHA without terms (a byte each).
    Bytes records;
    for (auto [states, shape, depth] : {std::tuple{0x0A, light, 1}, std::tuple{0x04, dark, 2}}) {
        records.push_back(static_cast<std::uint8_t>(states));
        writeUI16(records, shape);
        writeUI16(records, static_cast<std::uint32_t>(depth));
        records.push_back(0x00);
        records.push_back(0x00);
    }
    records.push_back(0x00);  // CharacterEndFlag
    Bytes body;
    writeUI16(body, id);
    body.push_back(0x00);  // TrackAsMenu 0: a push button
    // ActionOffset counts from its own first byte to the BUTTONCONDACTION.
    writeUI16(body, static_cast<std::uint32_t>(2 + records.size()));
    body.insert(body.end(), records.begin(), records.end());
    // The only BUTTONCONDACTION (size 0): CondOverDownToOverUp, a release over the button.
    writeUI16(body, 0);
    body.push_back(0x08);
    body.push_back(0x00);
    const Bytes code = actions.finish();
    body.insert(body.end(), code.begin(), code.end());
    define(TagCode::DefineButton2, std::move(body));
    place(id, where.x, where.y);
}

void TemplateBuilder::beginClip() { timelines_.emplace_back(); }

std::uint16_t TemplateBuilder::endClip(const std::vector<ActionWriter>& frames) {
    if (timelines_.size() < 2) throw std::logic_error("endClip without beginClip");
    Timeline clip = std::move(timelines_.back());
    timelines_.pop_back();
    const std::size_t frameCount = std::max<std::size_t>(frames.size(), 1);
    std::uint16_t id = nextId();
    Bytes body;
    writeUI16(body, id);
    writeUI16(body, static_cast<std::uint32_t>(frameCount));
    for (const auto& tag : clip.tags) tag->writeTo(body);
    for (std::size_t frame = 0; frame < frameCount; ++frame) {
        if (frame < frames.size() && frames[frame].size() > 0) {
            Bytes actions = frames[frame].bytes();
            actions.push_back(action::kEnd);
            makeTag(TagCode::DoAction, std::move(actions))->writeTo(body);
        }
        makeTag(TagCode::ShowFrame, {})->writeTo(body);
    }
    makeTag(TagCode::End, {})->writeTo(body);
    define(TagCode::DefineSprite, std::move(body));
    return id;
}

void TemplateBuilder::placeClip(std::uint16_t clipId, int x, int y, const std::string& instanceName) {
    place(clipId, x, y, instanceName);
}

Report TemplateBuilder::addSound(const std::string& exportName, const std::string& mp3Path) {
    std::uint16_t id = nextId();
    auto sound = soundFromMp3File(id, mp3Path);
    if (!sound) return sound.report();
    definitions_.push_back(sound.take());
    exportAsset(id, exportName);
    // StartSound: the sound id and a SOUNDINFO without options, played once.
    Bytes start;
    writeUI16(start, id);
    start.push_back(0x00);
    timelines_.back().tags.push_back(makeTag(TagCode::StartSound, std::move(start)));
    layout_.push_back({.kind = "sound", .name = exportName});
    return {};
}

void TemplateBuilder::setVariables(const ActionVariables& variables) { defaults_ = actionBytes(variables, encoding_); }

void TemplateBuilder::addFrameActions(const ActionWriter& actions) { frameActions_.push_back(actions.bytes()); }

Report TemplateBuilder::write(const std::string& path) {
    if (timelines_.size() != 1) throw std::logic_error("a movie clip was begun but not ended");
    SWFFile movie(version_, SWFRect{0, widthPx_ * kTwipsPerPixel, 0, heightPx_ * kTwipsPerPixel, 0}, frameRate_, 1);
    auto& tags = movie.tags();
    tags.push_back(makeTag(TagCode::SetBackgroundColor,
                           {static_cast<std::uint8_t>(background_ >> 16), static_cast<std::uint8_t>(background_ >> 8),
                            static_cast<std::uint8_t>(background_)}));
    for (auto* group : {&definitions_, &exports_}) {
        for (auto& tag : *group) tags.push_back(std::move(tag));
        group->clear();
    }
    // The defaults first: the save rewrites the first DoAction with the user's values.
    tags.push_back(makeTag(TagCode::DoAction, std::move(defaults_)));
    for (auto& tag : timelines_.front().tags) tags.push_back(std::move(tag));
    timelines_.front().tags.clear();
    for (const auto& actions : frameActions_) {
        Bytes body = actions;
        body.push_back(0x00);
        tags.push_back(makeTag(TagCode::DoAction, std::move(body)));
    }
    tags.push_back(makeTag(TagCode::ShowFrame, {}));
    return writeSWF(movie, path);
}

}  // namespace tarvenox::tools
