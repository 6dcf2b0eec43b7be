// Writes template movies with the engine's own records and tags.
#include "TemplateBuilder.h"

#include <bit>
#include <cmath>
#include <stdexcept>

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

std::unique_ptr<SWFTag> makeTag(TagCode code, Bytes body) {
    return createTag(static_cast<int>(code), std::move(body));
}

// One value of an ActionPush record: its push type and payload.
void appendPushValue(Bytes& out, const ActionValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        out.push_back(0x00);
        appendString(out, *text);
    } else if (const auto* number = std::get_if<double>(&value)) {
        // A double is stored as its upper 32 bits, then its lower 32 bits, each
        // little-endian.
        auto bits = std::bit_cast<std::uint64_t>(*number);
        out.push_back(0x06);
        writeUI32(out, static_cast<std::uint32_t>(bits >> 32));
        writeUI32(out, static_cast<std::uint32_t>(bits));
    } else if (const auto* integer = std::get_if<std::int32_t>(&value)) {
        out.push_back(0x07);
        writeUI32(out, static_cast<std::uint32_t>(*integer));
    } else {
        out.push_back(0x05);
        out.push_back(std::get<bool>(value) ? 1 : 0);
    }
}

}  // namespace

void appendPush(Bytes& out, std::initializer_list<ActionValue> values) {
    Bytes record;
    for (const auto& value : values) appendPushValue(record, value);
    if (record.size() > 0xFFFF) throw std::runtime_error("values too long for one ActionPush");
    out.push_back(0x96);  // ActionPush
    writeUI16(out, static_cast<std::uint32_t>(record.size()));
    out.insert(out.end(), record.begin(), record.end());
}

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

void TemplateBuilder::define(int code, Bytes body) {
    definitions_.push_back(createTag(code, std::move(body)));
}

void TemplateBuilder::place(std::uint16_t id, StageRect where, const std::string& instanceName) {
    // PlaceObject2 with a character, a translation and, for clips, a name.
    Bytes body;
    body.push_back(instanceName.empty() ? 0x06 : 0x26);  // PlaceFlagHasName, HasMatrix, HasCharacter
    writeUI16(body, nextDepth_++);
    writeUI16(body, id);
    SWFMatrix matrix;
    matrix.translateX = where.x * kTwipsPerPixel;
    matrix.translateY = where.y * kTwipsPerPixel;
    SWFBitWriter writer;
    matrix.write(writer);
    body.insert(body.end(), writer.bytes().begin(), writer.bytes().end());
    if (!instanceName.empty()) appendString(body, instanceName);
    placements_.push_back(makeTag(TagCode::PlaceObject2, std::move(body)));
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
    if (fontName.size() > 255) throw std::runtime_error("font name " + fontName + " is longer than 255 bytes");
    std::uint16_t id = nextId();
    // A font without glyphs, named as the template calls it; the engine's conversion
    // then fills it from the installed face, keeping the id and the name.
    Bytes body;
    writeUI16(body, id);
    body.push_back(0x00);  // flags
    body.push_back(0x00);  // LanguageCode
    body.push_back(static_cast<std::uint8_t>(fontName.size()));
    body.insert(body.end(), fontName.begin(), fontName.end());
    writeUI16(body, 0);  // NumGlyphs
    writeUI16(body, 0);  // CodeTableOffset
    auto font = std::make_unique<SWFFont>(static_cast<int>(TagCode::DefineFont2), std::move(body));
    (void)replaceWithSystemFont(*font, fontName, faceName);
    definitions_.push_back(std::move(font));
    fonts_[id] = {productName, faceName};
    return id;
}

void TemplateBuilder::addTextField(const TextField& field) {
    std::uint16_t id = nextId();
    Bytes body;
    writeUI16(body, id);
    appendRect(body, field.place.width * kTwipsPerPixel, field.place.height * kTwipsPerPixel);
    // HasText (labels), WordWrap and Multiline (several lines), Password 0, ReadOnly,
    // HasTextColor, HasMaxLength 0, HasFont; then HasFontClass 0, AutoSize 0, HasLayout,
    // NoSelect, Border 0, WasStatic 0, HTML 0, UseOutlines (the embedded glyphs, so
    // that a replaced font shows).
    std::uint8_t first = 0b0000'1101;
    if (field.multiline) first |= 0b0110'0000;
    if (!field.text.empty()) first |= 0b1000'0000;
    body.push_back(first);
    body.push_back(0b0011'0001);
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
    define(static_cast<int>(TagCode::DefineEditText), std::move(body));
    place(id, field.place);
    const auto& [fontName, face] = fonts_[field.fontId];
    layout_.push_back({"text", field.variable.empty() ? field.text : field.variable, field.place, fontName,
                       face, field.sizePx, field.multiline});
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
    define(static_cast<int>(TagCode::DefineBitsLossless), std::move(bitmap));
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
    define(static_cast<int>(TagCode::DefineShape), rectangleShape(shapeId, width, height, fill.take()));
    place(shapeId, where);
    layout_.push_back({.kind = "picture", .name = exportName, .place = where});
}

void TemplateBuilder::addBadge(const std::string& instanceName, std::uint32_t rgb, StageRect where) {
    std::uint16_t shapeId = nextId();
    Bytes solid = {0x00, static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                   static_cast<std::uint8_t>(rgb)};
    define(static_cast<int>(TagCode::DefineShape),
           rectangleShape(shapeId, where.width * kTwipsPerPixel, where.height * kTwipsPerPixel, solid));
    // The clip: one frame that shows the rectangle.
    std::uint16_t clipId = nextId();
    Bytes clip;
    writeUI16(clip, clipId);
    writeUI16(clip, 1);  // FrameCount
    auto inner = makeTag(TagCode::PlaceObject2, Bytes{0x02, 0x01, 0x00,
                                                      static_cast<std::uint8_t>(shapeId),
                                                      static_cast<std::uint8_t>(shapeId >> 8)});
    inner->writeTo(clip);
    makeTag(TagCode::ShowFrame, {})->writeTo(clip);
    makeTag(TagCode::End, {})->writeTo(clip);
    define(static_cast<int>(TagCode::DefineSprite), std::move(clip));
    place(clipId, where, instanceName);
    layout_.push_back({.kind = "shape", .name = instanceName, .place = where});
}

bool TemplateBuilder::addSound(const std::string& exportName, const std::string& mp3Path, std::string* error) {
    std::uint16_t id = nextId();
    auto sound = soundFromMp3File(id, mp3Path, error);
    if (!sound) return false;
    definitions_.push_back(std::move(sound));
    exportAsset(id, exportName);
    // StartSound: the sound id and a SOUNDINFO without options, played once.
    Bytes start;
    writeUI16(start, id);
    start.push_back(0x00);
    placements_.push_back(makeTag(TagCode::StartSound, std::move(start)));
    layout_.push_back({.kind = "sound", .name = exportName});
    return true;
}

void TemplateBuilder::setVariables(const ActionVariables& variables) { defaults_ = actionBytes(variables, encoding_); }

void TemplateBuilder::addFrameActions(Bytes actions) { frameActions_.push_back(std::move(actions)); }

bool TemplateBuilder::write(const std::string& path, std::string* error) {
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
    for (auto& tag : placements_) tags.push_back(std::move(tag));
    placements_.clear();
    for (const auto& actions : frameActions_) {
        Bytes body = actions;
        body.push_back(0x00);
        tags.push_back(makeTag(TagCode::DoAction, std::move(body)));
    }
    tags.push_back(makeTag(TagCode::ShowFrame, {}));
    return movie.write(path, error);
}

}  // namespace tarvenox::tools
