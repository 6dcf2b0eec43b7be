// The third-party movies of ../shared/real-swf: each is read, saved unchanged to the
// same tags, described, and saved with a picture, a font and variables changed, with a
// bitmap replaced by its id, with a static text changed and with a text field's variable
// set, into movies that another SWF parser reads as well as the originals.
#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>

#include "common/ByteReader.h"
#include "common/Log.h"
#include "edit/MovieContents.h"
#include "edit/MovieSave.h"
#include "font/EmbeddedFont.h"
#include "font/StaticTextChange.h"
#include "picture/PictureChoice.h"
#include "publish/SlotChanges.h"
#include "support/PictureFiles.h"
#include "support/ReadMovie.h"
#include "support/TempDir.h"
#include "support/TextDecoding.h"
#include "swf/ActionRecords.h"
#include "swf/MovieVariables.h"
#include "swf/SWFDefineShape.h"
#include "swf/SWFDoAction.h"
#include "swf/SWFExportAssets.h"
#include "swf/SWFFile.h"
#include "swf/SWFFont.h"
#include "swf/SWFImage.h"
#include "swf/SWFReader.h"
#include "swf/SWFWriter.h"
#include "ui/web/BridgeSprite.h"

namespace tarvenox {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using test::TempDir;

const fs::path kCorpus = fs::path(TARVENOX_SOURCE_DIR) / ".." / "shared" / "real-swf";

// Movies broken on purpose by the suites they come from, and why they are refused.
const std::map<std::string, std::string> kBrokenOnPurpose = {
    {"ruffle-0035.swf", "ZWS whose header gives 4294967295 bytes uncompressed (lzma-length-too-large)"},
    {"ruffle-0036.swf", "ZWS whose header gives 1 byte uncompressed (lzma-malformed-length)"},
};

std::vector<fs::path> corpusMovies() {
    std::vector<fs::path> movies;
    if (!fs::is_directory(kCorpus)) return movies;
    for (const auto& entry : fs::directory_iterator(kCorpus)) {
        if (entry.path().extension() == ".swf") movies.push_back(entry.path());
    }
    std::sort(movies.begin(), movies.end());
    return movies;
}

// A movie reduced to what a save must keep: the header without its file length, and
// each top-level tag's code and body up to the End tag, whatever record header form
// and compression carried them.
struct Normalised {
    std::string signature;
    Bytes header;
    std::vector<std::pair<TagCode, Bytes>> tags;
    bool operator==(const Normalised&) const = default;
};

std::optional<Normalised> normalise(ByteSpan file) {
    if (file.size() < 8) return std::nullopt;
    Normalised out;
    out.signature = asString(file.first(3));
    const auto compression = compressionOfSignature(out.signature);
    if (!compression) return std::nullopt;
    const auto plain = unpackSWF(file, *compression);
    if (!plain || plain->size() < 9) return std::nullopt;
    const std::size_t headerLength = MovieHeader::length((*plain)[8] >> 3);
    ByteReader reader(*plain);
    ByteSpan header = reader.readBytes(headerLength);
    out.header.assign(header.begin() + 3, header.begin() + 4);  // the version
    out.header.insert(out.header.end(), header.begin() + 8, header.end());
    while (reader.remaining() >= 2) {
        const std::uint16_t word = reader.readU16LE();
        std::uint32_t length = word & 0x3F;
        if (length == 0x3F) length = reader.readU32LE();
        if ((word >> 6) == 0) break;
        ByteSpan body = reader.readBytes(length);
        if (reader.overrun()) return std::nullopt;
        out.tags.emplace_back(static_cast<TagCode>(word >> 6), Bytes(body.begin(), body.end()));
    }
    return out;
}

class RealMovies : public testing::Test {
protected:
    void SetUp() override {
        if (corpusMovies().empty()) GTEST_SKIP() << "no movies in " << kCorpus;
        setLogStream(nullptr);
    }
    void TearDown() override { setLogStream(stdout); }
};

TEST_F(RealMovies, EveryMovieReadsAndSavesUnchangedExceptThoseBrokenOnPurpose) {
    std::size_t saved = 0;
    std::size_t refused = 0;
    for (const auto& path : corpusMovies()) {
        const std::string name = path.filename().string();
        SCOPED_TRACE(name);
        const Bytes original = test::readBytes(path.string());
        if (kBrokenOnPurpose.count(name) != 0) {
            const auto broken = readSWF(original, name);
            ASSERT_FALSE(broken);
            EXPECT_FALSE(broken.report().reason().empty());
            ++refused;
            continue;
        }
        SWFFile movie = test::readMovie(original, name);
        // Every shape's style arrays can be read, so each could follow a new picture.
        for (const auto& tag : movie.tags()) {
            if (auto* shape = dynamic_cast<SWFDefineShape*>(tag.get())) {
                EXPECT_TRUE(shape->styles().has_value()) << tagName(tag->code()) << " " << tag->characterId();
            }
        }
        const Bytes again = serializeSWF(movie);
        const auto before = normalise(original);
        const auto after = normalise(again);
        ASSERT_TRUE(before && after);
        EXPECT_TRUE(*before == *after) << "the saved movie differs from the original";
        auto unpacked = unpackSWF(again, movie.compression());
        ASSERT_TRUE(unpacked) << unpacked.report().reason();
        EXPECT_EQ(test::readMovie(again, "again.swf").fileLengthField(), unpacked->size());
        ++saved;
    }
    EXPECT_EQ(refused, kBrokenOnPurpose.size());
    RecordProperty("saved", static_cast<int>(saved));
}

// Every movie could be an interface movie: the bridge clip goes into its first frame and
// leaves its header and every tag as they were.
TEST_F(RealMovies, TakeTheBridgeClipAndKeepEverythingElse) {
    std::size_t bridged = 0;
    for (const auto& path : corpusMovies()) {
        const std::string name = path.filename().string();
        if (kBrokenOnPurpose.count(name) != 0) continue;
        SCOPED_TRACE(name);
        const Bytes original = test::readBytes(path.string());
        const auto copy = web::addBridgeSprite(original, name, "/s/x/skin/poll");
        if (test::readMovie(original, name).version() < 5) {
            EXPECT_FALSE(copy);
            continue;
        }
        ASSERT_TRUE(copy) << copy.report().reason();
        auto before = normalise(original);
        auto after = normalise(*copy);
        ASSERT_TRUE(before && after);
        const auto firstFrame = std::find_if(before->tags.begin(), before->tags.end(),
                                             [](const auto& tag) { return tag.first == TagCode::ShowFrame; }) -
                                before->tags.begin();
        ASSERT_GE(after->tags.size(), static_cast<std::size_t>(firstFrame) + 2);
        EXPECT_EQ(after->tags[firstFrame].first, TagCode::DefineSprite);
        EXPECT_EQ(after->tags[firstFrame + 1].first, TagCode::PlaceObject2);
        after->tags.erase(after->tags.begin() + firstFrame, after->tags.begin() + firstFrame + 2);
        after->signature = before->signature;
        EXPECT_TRUE(*before == *after) << "the movie changed beside the clip";
        ++bridged;
    }
    RecordProperty("bridged", static_cast<int>(bridged));
}

// The name of a variable the first DoAction assigns, when it assigns one by a string.
std::optional<std::string> assignedVariable(const SWFFile& movie) {
    for (const auto& tag : movie.tags()) {
        if (tag->code() != TagCode::DoAction) continue;
        auto records = readActionRecords(tag->body());
        if (!records) return std::nullopt;
        for (std::size_t i = 1; i < records->size(); ++i) {
            if ((*records)[i].code != action::kSetVariable || (*records)[i - 1].code != action::kPush) continue;
            auto values = readPushValues((*records)[i - 1].payload);
            if (values && values->size() >= 2) {
                auto name = (*values)[values->size() - 2].text({});
                if (name && !name->empty()) return name;
            }
        }
        return std::nullopt;
    }
    return std::nullopt;
}

// swf-parser measures JPEG pictures in time that grows with the square of their size:
// a movie with a JPEG of more than 32 KiB takes it seconds to a minute. Such movies are
// still changed and read back here, only not walked by it.
bool slowForOtherParser(const SWFFile& movie) {
    return std::any_of(movie.tags().begin(), movie.tags().end(), [](const auto& tag) {
        switch (tag->code()) {
            case TagCode::DefineBits:
            case TagCode::DefineBitsJPEG2:
            case TagCode::DefineBitsJPEG3:
            case TagCode::DefineBitsJPEG4: return tag->length() > 32 * 1024;
            default: return false;
        }
    });
}

// The checks of changed movies in another parser, swf-parser (node, the npm package).
class ChangedRealMovies : public RealMovies {
protected:
    void SetUp() override {
        RealMovies::SetUp();
        if (IsSkipped()) return;
        const std::string probe = "cd '" TARVENOX_SOURCE_DIR "' && node -e \"import('swf-parser')\" 2>/dev/null";
        if (std::system(probe.c_str()) != 0) GTEST_SKIP() << "node or the npm package swf-parser is missing";
    }

    // A 7 x 5 PNG file to put in place of a movie's picture.
    std::string smallPng() {
        test::PngPicture picture{.width = 7, .height = 5, .colorType = PNG_COLOR_TYPE_RGB};
        picture.rows.assign(5, Bytes(7 * 3, 0x40));
        return dir.write("picture.png", test::encodePng(picture));
    }

    // The original at path and the changed movie, written into the folder, as a pair for
    // the other parser to compare. swf-parser takes FWS and CWS: LZMA movies are compared
    // uncompressed.
    json pairOf(const fs::path& path, SWFFile& changed) {
        const std::string name = path.filename().string();
        std::string original = path.string();
        if (changed.compression() == SWFCompression::Lzma) {
            SWFFile plain = test::readMovie(path.string());
            plain.setCompression(SWFCompression::None);
            original = dir.write("original-" + name, serializeSWF(plain));
            changed.setCompression(SWFCompression::None);
        }
        return {original, dir.write("changed-" + name, serializeSWF(changed))};
    }

    // Runs swf_parser_check.mjs over [original, changed] pairs: each changed movie must read
    // as well as its original. Returns the check's verdict.
    json otherParserReads(const json& pairs) {
        const std::string list = dir.write("pairs.json", pairs.dump());
        const std::string command = "cd '" TARVENOX_SOURCE_DIR "' && node tests/conformance/swf_parser_check.mjs '" +
                                    list + "' >'" + dir.file("out") + "' 2>&1";
        if (std::system(command.c_str()) != 0) {
            ADD_FAILURE() << test::readText(dir.file("out"));
            return json::object();
        }
        json result = json::parse(test::readText(dir.file("out")));
        EXPECT_EQ(result["checked"], pairs.size());
        EXPECT_TRUE(result["failures"].empty()) << result["failures"].dump(1);
        return result;
    }

    TempDir dir;
};

TEST_F(ChangedRealMovies, WithAFontAPictureAndVariablesReadAsWellAsTheirOriginals) {
    const std::string png = smallPng();
    json pairs = json::array();
    std::map<std::string, int> changes;
    for (const auto& path : corpusMovies()) {
        const std::string name = path.filename().string();
        if (kBrokenOnPurpose.count(name) != 0) continue;
        SCOPED_TRACE(name);
        SWFFile movie = test::readMovie(path.string());
        Replacements fonts;
        Replacements pictures;
        for (const auto& tag : movie.tags()) {
            if (auto* font = dynamic_cast<SWFFont*>(tag.get()); font && fonts.empty()) {
                fonts[font->getFontName()] = "DejaVu Sans";
            }
            if (auto* exports = dynamic_cast<SWFExportAssets*>(tag.get()); exports && pictures.empty()) {
                for (const auto& asset : exports->assets()) {
                    if (findExportedImage(movie, asset.name) != nullptr) {
                        pictures[asset.name] = png;
                        break;
                    }
                }
            }
        }
        ActionVariables variables;
        const bool hasDoAction = std::any_of(movie.tags().begin(), movie.tags().end(),
                                             [](const auto& tag) { return tag->code() == TagCode::DoAction; });
        if (hasDoAction) {
            if (auto assigned = assignedVariable(movie)) {
                variables.push_back(makeSWFType('s', *assigned, "changed"));
            }
            variables.push_back(makeSWFType('i', "tarvenoxCheck", "7"));
        }
        if (fonts.empty() && pictures.empty() && variables.empty()) continue;
        changes["font"] += fonts.size();
        changes["picture"] += pictures.size();
        changes["variables"] += variables.empty() ? 0 : 1;
        EXPECT_FALSE(customiseMovie(movie, fonts, pictures, {}, {}, nullptr, 0x336699).failed()) << name;
        EXPECT_FALSE(assignVariables(movie, variables).failed()) << name;
        SWFFile reread = test::readMovie(serializeSWF(movie), name);
        if (slowForOtherParser(movie)) {
            ++changes["not walked by swf-parser"];
            continue;
        }
        pairs.push_back(pairOf(path, movie));
    }
    const json result = otherParserReads(pairs);
    // The check means something only where the other parser reads the original.
    EXPECT_LT(result.value("unreadableOriginals", pairs.size()), pairs.size() / 20);
    for (const auto& [kind, count] : changes) RecordProperty(kind, count);
    // Most movies give something to change.
    EXPECT_GT(pairs.size(), 300u);
}

// The first bitmap tag the save can replace, and its place in the tag list.
std::optional<std::size_t> firstBitmap(const SWFFile& movie) {
    for (std::size_t i = 0; i < movie.tags().size(); ++i) {
        const auto& tag = movie.tags()[i];
        if (dynamic_cast<const SWFImage*>(tag.get()) != nullptr && tag->length() >= 2) return i;
    }
    return std::nullopt;
}

// Most bitmaps have no export name: each movie's first bitmap is replaced by its character
// id, through the check the command line runs, and the result reads back whole with the
// new bitmap in the old one's place.
TEST_F(ChangedRealMovies, WithTheFirstBitmapReplacedByIdReadAsWellAsTheirOriginals) {
    const std::string png = smallPng();
    json pairs = json::array();
    int replaced = 0;
    for (const auto& path : corpusMovies()) {
        const std::string name = path.filename().string();
        if (kBrokenOnPurpose.count(name) != 0) continue;
        SWFFile movie = test::readMovie(path.string());
        const auto index = firstBitmap(movie);
        if (!index) continue;
        SCOPED_TRACE(name);
        const std::uint16_t id = movie.tags()[*index]->characterId();
        // Stretched, the small picture keeps its pixels in any slot it is shown in larger.
        const auto pictures = checkedChanges(movie, ChangeKind::Picture, {{std::to_string(id), png}});
        ASSERT_TRUE(pictures.ok()) << pictures.report().text();
        const PictureFits fits = {{std::to_string(id), PictureFit::Stretch}};
        ASSERT_FALSE(customiseMovie(movie, {}, *pictures, fits, {}, nullptr, std::nullopt).failed());
        SWFFile reread = test::readMovie(serializeSWF(movie), name);
        ASSERT_EQ(reread.tags().size(), movie.tags().size());
        const auto* bitmap = dynamic_cast<const SWFImage*>(reread.tags()[*index].get());
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->characterId(), id);
        EXPECT_EQ(bitmap->width(), 7);
        EXPECT_EQ(bitmap->height(), 5);
        ++replaced;
        if (!slowForOtherParser(movie)) pairs.push_back(pairOf(path, movie));
    }
    otherParserReads(pairs);
    RecordProperty("replaced", replaced);
    RecordProperty("walked by swf-parser", static_cast<int>(pairs.size()));
    // The movies of the set that hold a bitmap the save can replace.
    EXPECT_GT(replaced, 30);
}

// The first static text of a movie and its id.
std::optional<std::uint16_t> firstStaticText(const SWFFile& movie) {
    for (const auto& tag : movie.tags()) {
        if (tag->code() == TagCode::DefineText || tag->code() == TagCode::DefineText2) return tag->characterId();
    }
    return std::nullopt;
}

// Each movie's first static text changed to its own characters in reverse order (so no
// glyph is missing) reads back whole with that string, and the other parser reads it as
// well as the original. Every embedded font's tables, taken apart, are written back byte
// for byte.
TEST_F(ChangedRealMovies, WithTheFirstStaticTextChangedReadAsWellAsTheirOriginals) {
    json pairs = json::array();
    std::map<std::string, int> outcomes;
    std::string refusals;
    for (const auto& path : corpusMovies()) {
        const std::string name = path.filename().string();
        if (kBrokenOnPurpose.count(name) != 0) continue;
        SCOPED_TRACE(name);
        SWFFile movie = test::readMovie(path.string());
        for (const auto& tag : movie.tags()) {
            if (tag->code() != TagCode::DefineFont2 && tag->code() != TagCode::DefineFont3) continue;
            const auto font = EmbeddedFont::read(tag->body(), tag->code(), movie.textEncoding());
            ASSERT_TRUE(font) << "font " << tag->characterId();
            const Bytes again = font->write();
            EXPECT_TRUE(std::equal(again.begin(), again.end(), tag->body().begin(), tag->body().end()))
                << "font " << tag->characterId();
        }
        const auto id = firstStaticText(movie);
        if (!id) continue;
        const std::u32string text = test::staticTextString(movie, *id);
        const std::u32string reversed(text.rbegin(), text.rend());
        const Report changed = changeStaticText(movie, *id, reversed);
        if (changed.failed()) {
            ++outcomes["refused"];
            refusals += name + ": " + changed.reason() + "\n";
            continue;
        }
        ++outcomes["changed"];
        SWFFile reread = test::readMovie(serializeSWF(movie), name);
        EXPECT_EQ(test::staticTextString(reread, *id), reversed);
        if (!slowForOtherParser(movie)) pairs.push_back(pairOf(path, movie));
    }
    otherParserReads(pairs);
    for (const auto& [kind, count] : outcomes) RecordProperty(kind, count);
    RecordProperty("refusals", refusals);
    EXPECT_GE(outcomes["changed"], 15) << refusals;
}

// Every movie describes what a save can change in it without failing, and a movie with
// a text field bound to a variable, saved with that variable set, reads back whole and
// reads in the other parser as well as its original.
TEST_F(ChangedRealMovies, DescribeThemselvesAndTakeTheirTextFieldsVariables) {
    std::map<std::string, std::size_t> movies;  // movies holding each kind
    std::map<std::string, std::size_t> slots;   // slots of each kind
    json pairs = json::array();
    for (const auto& path : corpusMovies()) {
        const std::string name = path.filename().string();
        if (kBrokenOnPurpose.count(name) != 0) continue;
        SCOPED_TRACE(name);
        SWFFile movie = test::readMovie(path.string());
        const MovieContents contents = describeChangeable(movie);
        const std::pair<const char*, std::size_t> kinds[] = {{"pictures", contents.pictures.size()},
                                                             {"fonts", contents.fonts.size()},
                                                             {"sounds", contents.sounds.size()},
                                                             {"texts", contents.texts.size()},
                                                             {"static texts", contents.staticTexts.size()},
                                                             {"variables", contents.variables.size()}};
        for (const auto& [kind, count] : kinds) {
            slots[kind] += count;
            movies[kind] += count > 0 ? 1 : 0;
        }
        if (contents.texts.empty()) continue;
        ActionVariables variables;
        variables.push_back(makeSWFType('s', contents.texts.front().variable, "Tarvenox"));
        const Report assigned = assignVariables(movie, variables);
        EXPECT_FALSE(assigned.failed()) << assigned.reason();
        if (assigned.failed()) continue;
        test::readMovie(serializeSWF(movie), name);
        if (!slowForOtherParser(movie)) pairs.push_back(pairOf(path, movie));
    }
    for (const auto& [kind, count] : slots) {
        std::printf("%s: %zu in %zu movies\n", kind.c_str(), count, movies[kind]);
        RecordProperty(kind, static_cast<int>(count));
    }
    EXPECT_GT(slots["pictures"], 0u);
    EXPECT_GT(slots["fonts"], 0u);
    EXPECT_GT(slots["texts"], 0u);
    EXPECT_GT(slots["static texts"], 0u);
    EXPECT_GT(pairs.size(), 50u);
    otherParserReads(pairs);
}

}  // namespace
}  // namespace tarvenox
