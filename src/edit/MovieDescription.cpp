// What a movie holds, as JSON and as text.
#include "edit/MovieDescription.h"

#include <bit>
#include <sstream>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "common/Texts.h"
#include "edit/ColorText.h"
#include "swf/MovieProbe.h"
#include "swf/RecordStream.h"
#include "swf/SWFBackgroundColor.h"
#include "swf/SWFDefineShape.h"
#include "swf/SWFDefineSound.h"
#include "swf/SWFDoAction.h"
#include "swf/SWFEditText.h"
#include "swf/SWFExportAssets.h"
#include "swf/SWFFont.h"
#include "swf/SWFJpegImage.h"
#include "swf/SWFLosslessImage.h"
#include "swf/SWFStaticText.h"

namespace tarvenox {

using nlohmann::json;

namespace {

// Tags that define a character carry its id in their first two bytes.
bool definesCharacter(TagCode code) {
    switch (code) {
        case TagCode::DefineText:
        case TagCode::DefineText2:
        case TagCode::DefineEditText:
        case TagCode::DefineSprite:
        case TagCode::DefineButton:
        case TagCode::DefineButton2:
        case TagCode::DefineMorphShape:
        case TagCode::DefineFont:
        case TagCode::DefineFont3:
        case TagCode::DefineVideoStream:
        case TagCode::DefineBinaryData: return true;
        default: return false;
    }
}

void describeImage(const SWFImage& image, json& out) {
    out["id"] = image.characterId();
    out["width"] = image.width();
    out["height"] = image.height();
    if (auto* lossless = dynamic_cast<const SWFLosslessImage*>(&image)) {
        out["kind"] = "lossless";
        out["format"] = lossless->bitmapFormat();
    } else {
        out["kind"] = "jpeg";
    }
}

json describeMatrix(const SWFMatrix& m) {
    // Scale and rotation are 16.16 fixed point (1.0 when absent); translation in twips.
    auto fixed = [](std::int32_t v) { return v / 65536.0; };
    return {{"scaleX", m.hasScale ? fixed(m.scaleX) : 1.0},
            {"scaleY", m.hasScale ? fixed(m.scaleY) : 1.0},
            {"rotateSkew0", m.hasRotate ? fixed(m.rotateSkew0) : 0.0},
            {"rotateSkew1", m.hasRotate ? fixed(m.rotateSkew1) : 0.0},
            {"translateX", m.translateX},
            {"translateY", m.translateY}};
}

// The bitmap fills of a shape, numbered from 1 as the shape records refer to them.
void describeShape(const SWFDefineShape& shape, json& out) {
    auto styles = shape.styles();
    if (!styles) {
        out["details"] = "style arrays not readable";
        return;
    }
    json fills = json::array();
    for (std::size_t i = 0; i < styles->fillStyles.size(); ++i) {
        const SWFFillStyle& fill = styles->fillStyles[i];
        if (!fill.isBitmap()) continue;
        fills.push_back({{"fillStyle", i + 1},
                         {"clipped", fill.isClipped()},
                         {"bitmapId", fill.bitmapId},
                         {"matrix", describeMatrix(fill.bitmapMatrix)}});
    }
    out["bitmapFills"] = fills;
}

// Whether describeTag says more of the tag than its code, name and length. Most tags of
// a movie do not, and the listing writes those without building JSON: a movie of a
// million tags is listed in a second, not in a minute.
bool hasDetails(const SWFTag& tag) {
    return dynamic_cast<const SWFImage*>(&tag) != nullptr || dynamic_cast<const SWFFont*>(&tag) != nullptr ||
           dynamic_cast<const SWFBackgroundColor*>(&tag) != nullptr ||
           dynamic_cast<const SWFExportAssets*>(&tag) != nullptr ||
           dynamic_cast<const SWFDefineSound*>(&tag) != nullptr ||
           dynamic_cast<const SWFDefineShape*>(&tag) != nullptr || dynamic_cast<const SWFDoAction*>(&tag) != nullptr ||
           definesCharacter(tag.code());
}

// A value pushed by an ActionPush as JSON: strings in the movie's encoding, numbers,
// booleans; other kinds (registers, constants, null, undefined) by their type.
json pushedValue(const PushValue& value, MovieTextEncoding encoding) {
    ByteSpan payload = value.bytes.subspan(1);
    switch (value.type) {
        case PushType::String: return displayMovieText(asString(payload.first(payload.size() - 1)), encoding);
        case PushType::Boolean: return payload[0] != 0;
        case PushType::Double: {
            const std::uint64_t bits = std::uint64_t(peekUI32(payload, 0)) << 32 | peekUI32(payload, 4);
            return std::bit_cast<double>(bits);
        }
        case PushType::Integer: return static_cast<std::int32_t>(peekUI32(payload, 0));
        default: return "(push type " + std::to_string(static_cast<unsigned>(value.type)) + ")";
    }
}

// A number as a stream writes it by default (400, 400.5, 1e+06), with the decimal comma
// in German: the listing is read, not typed back.
template <class Number>
std::string numberText(Number value) {
    std::ostringstream text;
    text << value;
    return proseNumber(text.str());
}

// What a save can change, as describeTag names it, in the listing's words.
std::string slotWord(const std::string& changeable) {
    return tarvenox::text(changeable == "static text" ? "inspect.slot.staticText" : "inspect.slot." + changeable);
}

// A tag's details in the listing's words; the JSON keeps its own keys and values.
std::string detailText(const json& tag) {
    std::ostringstream text;
    auto field = [&](const char* key, const char* id) {
        if (tag.contains(key)) text << ' ' << tarvenox::text(id, {tag[key].get<std::string>()});
    };
    if (tag.contains("id")) text << ' ' << tarvenox::text("inspect.id", {std::to_string(tag["id"].get<int>())});
    field("fontName", "inspect.font");
    field("color", "inspect.color");
    if (tag.contains("kind")) {
        text << ' ' << tarvenox::text("inspect.kind." + tag["kind"].get<std::string>()) << ' '
             << tag["width"].get<int>() << 'x' << tag["height"].get<int>();
    }
    if (tag.contains("assets")) {
        for (const auto& asset : tag["assets"]) {
            text << " " << asset["id"].get<int>() << "=\"" << asset["name"].get<std::string>() << '"';
        }
    }
    if (tag.contains("sound")) {
        const json& sound = tag["sound"];
        text << ' '
             << tarvenox::text("inspect.sound",
                               {sound["format"].get<std::string>(), std::to_string(sound["rate"].get<int>()),
                                tarvenox::text(sound["channels"].get<int>() == 2 ? "inspect.stereo" : "inspect.mono"),
                                std::to_string(sound["sampleCount"].get<std::uint32_t>())});
    }
    if (tag.contains("bitmapFills")) {
        for (const auto& fill : tag["bitmapFills"]) {
            const json& m = fill["matrix"];
            text << ' '
                 << tarvenox::text("inspect.fill", {std::to_string(fill["fillStyle"].get<int>()),
                                                    std::to_string(fill["bitmapId"].get<int>())});
            if (fill["clipped"].get<bool>()) text << ' ' << tarvenox::text("inspect.clipped");
            text << ' '
                 << tarvenox::text("inspect.scale",
                                   {numberText(m["scaleX"].get<double>()), numberText(m["scaleY"].get<double>())});
            if (m["rotateSkew0"].get<double>() != 0 || m["rotateSkew1"].get<double>() != 0) {
                text << ' '
                     << tarvenox::text("inspect.skew", {numberText(m["rotateSkew0"].get<double>()),
                                                        numberText(m["rotateSkew1"].get<double>())});
            }
            text << ' '
                 << tarvenox::text("inspect.at", {std::to_string(m["translateX"].get<int>()),
                                                  std::to_string(m["translateY"].get<int>())});
        }
    }
    if (tag.contains("variables")) {
        for (const auto& variable : tag["variables"]) {
            text << ' ' << variable["name"].get<std::string>() << '=' << variable["value"].dump();
        }
    }
    // The only details: a shape whose style arrays cannot be read.
    if (tag.contains("details")) text << ' ' << tarvenox::text("inspect.stylesUnreadable");
    if (tag.contains("changeable")) {
        text << ' ' << tarvenox::text("inspect.changeable", {slotWord(tag["changeable"].get<std::string>())});
    }
    return text.str();
}

// The tag's own fields, without what a save can change in it.
json describeTagContents(const SWFTag& tag, MovieTextEncoding encoding) {
    json out;
    out["code"] = tagNumber(tag.code());
    out["name"] = std::string(tagName(tag.code()));
    out["length"] = tag.length();
    if (auto* image = dynamic_cast<const SWFImage*>(&tag)) {
        describeImage(*image, out);
    } else if (auto* font = dynamic_cast<const SWFFont*>(&tag)) {
        out["id"] = font->characterId();
        out["fontName"] = displayMovieText(font->getFontName(), encoding);
    } else if (auto* background = dynamic_cast<const SWFBackgroundColor*>(&tag)) {
        if (background->color() >= 0) out["color"] = formatColor(background->color());
    } else if (auto* exports = dynamic_cast<const SWFExportAssets*>(&tag)) {
        json assets = json::array();
        for (const auto& asset : exports->assets()) {
            assets.push_back({{"id", asset.id}, {"name", displayMovieText(asset.name, encoding)}});
        }
        out["assets"] = assets;
    } else if (auto* doAction = dynamic_cast<const SWFDoAction*>(&tag)) {
        // The variables the actions set, as a save finds and changes them.
        json variables = json::array();
        for (const auto& assigned : doAction->assignedValues()) {
            variables.push_back({{"name", displayMovieText(assigned.name, encoding)},
                                 {"value", pushedValue(assigned.value, encoding)}});
        }
        if (!variables.empty()) out["variables"] = variables;
    } else if (auto* sound = dynamic_cast<const SWFDefineSound*>(&tag)) {
        if (tag.length() >= 2) out["id"] = tag.characterId();
        if (auto format = sound->format()) {
            out["sound"] = {{"format", SWFDefineSound::formatName(format->soundFormat)},
                            {"rate", SWFDefineSound::rateHz(format->soundRate)},
                            {"bits", format->sixteenBit ? 16 : 8},
                            {"channels", format->stereo ? 2 : 1},
                            {"sampleCount", format->sampleCount}};
        }
    } else if (auto* shape = dynamic_cast<const SWFDefineShape*>(&tag)) {
        if (tag.length() >= 2) out["id"] = tag.characterId();
        describeShape(*shape, out);
    } else if (definesCharacter(tag.code())) {
        if (tag.length() >= 2) out["id"] = tag.characterId();
    }
    return out;
}

// What a save can change in the tag ("picture", "font", ...); empty for nothing.
std::string changeableAs(const SWFTag& tag, const json& details) {
    switch (tag.code()) {
        case TagCode::DefineBits:
        case TagCode::DefineBitsJPEG2:
        case TagCode::DefineBitsJPEG3:
        case TagCode::DefineBitsJPEG4:
        case TagCode::DefineBitsLossless:
        case TagCode::DefineBitsLossless2: return tag.length() >= 2 ? "picture" : "";
        case TagCode::DefineFont2:
        case TagCode::DefineFont3: return tag.length() >= 2 ? "font" : "";
        case TagCode::DefineSound: return details.contains("sound") ? "sound" : "";
        case TagCode::SetBackgroundColor: return details.contains("color") ? "background" : "";
        case TagCode::DoAction: return details.contains("variables") ? "variables" : "";
        case TagCode::DefineEditText: {
            auto field = SWFEditText::read(tag.body());
            return field && !field->variableName.empty() ? "text" : "";
        }
        case TagCode::DefineText:
        case TagCode::DefineText2:
            return SWFStaticText::read(tag.body(), tag.code() == TagCode::DefineText2) ? "static text" : "";
        default: return "";
    }
}

}  // namespace

json describeTag(const SWFTag& tag, MovieTextEncoding encoding) {
    json out = describeTagContents(tag, encoding);
    if (const std::string changeable = changeableAs(tag, out); !changeable.empty()) out["changeable"] = changeable;
    return out;
}

json describeMovieHeader(const MovieHeader& movie, bool endTagMissing, const Report& read, const std::string& path) {
    json out;
    out["file"] = path;
    out["complete"] = !read.failed();
    if (read.failed()) out["error"] = read.reason();
    if (!movie.empty()) {
        const SWFRect frame = movie.frameRect();
        out["header"] = {
            {"signature", movie.signature()},
            {"compression", compressionName(movie.compression())},
            {"version", movie.version()},
            {"fileLength", movie.fileLengthField()},
            {"headerLength", movie.size()},
            {"frameSize",
             {{"xMin", frame.xMin},
              {"xMax", frame.xMax},
              {"yMin", frame.yMin},
              {"yMax", frame.yMax},
              {"width", frame.width()},
              {"height", frame.height()}}},
            {"frameRate", movie.frameRate()},
            {"frameCount", movie.frameCount()},
        };
    }
    // Written with one all the same.
    out["endTag"] = !endTagMissing;
    auto color = probeBackgroundColor(path);
    out["backgroundColor"] = color ? json(formatColor(*color)) : json(nullptr);
    return out;
}

namespace {

// The tag's JSON as it stands inside the document's "tags" array: indented by four.
void writeIndentedTag(std::ostream& out, const json& tag) {
    const std::string text = tag.dump(2);
    out << "    ";
    for (char c : text) {
        out << c;
        if (c == '\n') out << "    ";
    }
}

// The compression as the header's JSON names it; "zlib" and "LZMA" are names in any language.
std::string compressionWord(const std::string& name) {
    return name == "uncompressed" ? tarvenox::text("inspect.uncompressed") : name;
}

void writeHeaderText(std::ostream& text, const json& d, std::size_t tagCount) {
    text << d["file"].get<std::string>();
    if (d.contains("header")) {
        const json& h = d["header"];
        const json& f = h["frameSize"];
        const int frames = h["frameCount"].get<int>();
        const int width = f["width"].get<int>();
        const int height = f["height"].get<int>();
        text << ": "
             << tarvenox::text(
                    "inspect.header",
                    {h["signature"].get<std::string>(), compressionWord(h["compression"].get<std::string>()),
                     std::to_string(h["version"].get<int>()), std::to_string(h["fileLength"].get<unsigned>()),
                     std::to_string(width) + " x " + std::to_string(height),
                     numberText(width / 20.0) + " x " + numberText(height / 20.0),
                     numberText(h["frameRate"].get<double>()),
                     frames == 1 ? tarvenox::text("inspect.oneFrame")
                                 : tarvenox::text("inspect.frames", {std::to_string(frames)})});
    }
    text << '\n';
    if (!d["backgroundColor"].is_null()) {
        text << tarvenox::text("inspect.background", {d["backgroundColor"].get<std::string>()}) << '\n';
    }
    if (d.contains("error")) text << tarvenox::text("inspect.error", {d["error"].get<std::string>()}) << '\n';
    if (!d["endTag"].get<bool>()) text << tarvenox::text("inspect.noEndTag") << '\n';
    text << (tagCount == 1 ? tarvenox::text("inspect.oneTag")
                           : tarvenox::text("inspect.tags", {std::to_string(tagCount)}))
         << '\n';
}

}  // namespace

namespace {

// No more than this much of a body is read to describe its tag, so that describing a
// movie takes the same memory however large its tags: the JPEG data before the frame
// header, the style arrays of a shape, exports and actions lie well within it.
constexpr std::size_t kDescribedBytes = 4u << 20;

// How much of a body describing its tag reads.
std::size_t describedBytes(TagCode code) {
    switch (code) {
        case TagCode::DefineBitsLossless:
        case TagCode::DefineBitsLossless2: return 7;  // id, format, width, height
        case TagCode::DefineSound: return 7;          // id, format flags, sample count
        case TagCode::DefineFont2:
        case TagCode::DefineFont3: return 5 + 255;  // id, flags, language, the name's length and the name
        case TagCode::SetBackgroundColor: return 3;
        // Read whole, to tell whether a save can change them.
        case TagCode::DefineEditText:
        case TagCode::DefineText:
        case TagCode::DefineText2: return kDescribedBytes;
        default: return definesCharacter(code) ? 2 : kDescribedBytes;
    }
}

// The tag's description from the part of its body it needs, with the body's length.
json describeRecord(const RecordStream::Record& record, const SWFTag& bare, MovieTextEncoding encoding) {
    if (!hasDetails(bare)) return nullptr;
    json out = describeTag(*record.tag(describedBytes(record.code())), encoding);
    out["length"] = record.length();
    return out;
}

}  // namespace

Report writeMovieDescription(const std::string& path, std::ostream& out, bool asJson) {
    // The header's fields (whether the movie is complete, its error) and the tag count
    // come before the tags, so a first reading counts and a second one describes, each
    // going from record to record and reading only the bodies it describes.
    std::size_t count = 0;
    RecordStream stream(path);
    const Report counted = stream.read([&](const RecordStream::Record&) { ++count; });
    if (stream.header().empty()) return counted;
    const json head = describeMovieHeader(stream.header(), stream.endTagMissing(), counted, path);
    const MovieTextEncoding encoding = stream.header().textEncoding();

    std::size_t index = 0;
    if (!asJson) {
        writeHeaderText(out, head, count);
        (void)RecordStream(path).read([&](const RecordStream::Record& record) {
            char line[96];
            std::snprintf(line, sizeof line, "%5zu  %4u %-28s %8u", index++, tagNumber(record.code()),
                          std::string(tagName(record.code())).c_str(), record.length());
            out << line;
            const json details = describeRecord(record, *record.tag(0), encoding);
            if (!details.is_null()) out << detailText(details);
            out << '\n';
        });
    } else {
        // The same document as describing everything at once and dumping it with an
        // indent of 2 ("tags" is the last key), written one tag at a time.
        std::string text = head.dump(2);
        text.resize(text.size() - 2);  // the closing "\n}"
        out << text << ",\n  \"tags\": [";
        (void)RecordStream(path).read([&](const RecordStream::Record& record) {
            out << (index++ == 0 ? "\n" : ",\n");
            const json details = describeRecord(record, *record.tag(0), encoding);
            if (!details.is_null()) {
                writeIndentedTag(out, details);
                return;
            }
            // describeTag's three keys as dump(2) writes them; tag names need no escapes.
            out << "    {\n      \"code\": " << tagNumber(record.code())  //
                << ",\n      \"length\": " << record.length() << ",\n      \"name\": \"" << tagName(record.code())
                << "\"\n    }";
        });
        out << (index == 0 ? "]\n}\n" : "\n  ]\n}\n");
    }
    // A movie that could be read only in part is listed as far as it goes, and the
    // reading's failure is still returned so that the command fails and scripts notice.
    return counted;
}

}  // namespace tarvenox
