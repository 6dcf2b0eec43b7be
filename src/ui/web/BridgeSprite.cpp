// The polling movie clip added to the interface movie.
#include "ui/web/BridgeSprite.h"

#include <optional>
#include <set>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "swf/ActionWriter.h"
#include "swf/SWFReader.h"
#include "swf/SWFWriter.h"
#include "swf/TagCode.h"

namespace tarvenox::web {
namespace {

constexpr const char* mainTimeline = "_level0";

// Pushes the loaded variable prefix + j (the clip's own "k3", "v3", ...) and reads it.
void pushNumbered(ActionWriter& code, const char* prefix) {
    code.push(prefix);
    code.push("j");
    code.op(action::kGetVariable);
    code.op(action::kStringAdd);
    code.op(action::kGetVariable);
}

void pushVariable(ActionWriter& code, const char* name) {
    code.push(name);
    code.op(action::kGetVariable);
}

// name = number
void setNumber(ActionWriter& code, const char* name, std::int32_t number) {
    code.push(name);
    code.push(number);
    code.op(action::kSetVariable);
}

// Runs what body writes for j = 1 .. the value of the variable count.
template <typename Body>
void forEachNumber(ActionWriter& code, const char* count, Body body) {
    const auto top = code.label();
    const auto done = code.label();
    setNumber(code, "j", 1);
    code.bind(top);
    pushVariable(code, count);
    pushVariable(code, "j");
    code.op(action::kLess);
    code.jumpIf(done);
    body();
    code.push("j");
    pushVariable(code, "j");
    code.push(1);
    code.op(action::kAdd);
    code.op(action::kSetVariable);
    code.jump(top);
    code.bind(done);
}

// Runs what body writes only when done < the number that pushNumber pushes.
template <typename Push, typename Body>
void ifDoneBelow(ActionWriter& code, Push pushNumber, Body body) {
    const auto skip = code.label();
    pushVariable(code, "done");
    pushNumber();
    code.op(action::kLess);
    code.op(action::kNot);
    code.jumpIf(skip);
    body();
    code.bind(skip);
}

// Sets the variables of an answer that have not been set yet, then sends the reads.
void applyAnswer(ActionWriter& code, BridgeReads reads) {
    const auto none = code.label();
    pushVariable(code, "ready");
    code.op(action::kNot);
    code.jumpIf(none);
    setNumber(code, "ready", 0);
    setNumber(code, "waiting", 0);

    forEachNumber(code, "n", [&] {
        // Only what the clip has not set yet (two polls may bring the same).
        ifDoneBelow(
            code, [&] { pushNumbered(code, "s"); },
            [&] {
                pushNumbered(code, "k");
                pushNumbered(code, "v");
                code.setTarget(mainTimeline);
                code.op(action::kSetVariable);
                code.setTarget("");
            });
    });

    // done = max(done, l)
    ifDoneBelow(
        code, [&] { pushVariable(code, "l"); },
        [&] {
            code.push("done");
            pushVariable(code, "l");
            code.op(action::kSetVariable);
        });

    if (reads == BridgeReads::none) {
        code.bind(none);
        return;
    }
    // fscommand(answer, ij + ":" + value of rj) for each read
    forEachNumber(code, "rn", [&] {
        const auto defined = code.label();
        code.push(std::string("FSCommand:") + bridgeAnswerCommand);
        pushNumbered(code, "i");
        code.push(":");
        code.op(action::kStringAdd);
        pushNumbered(code, "r");
        code.setTarget(mainTimeline);
        code.op(action::kGetVariable);
        code.setTarget("");
        // A variable the movie does not have reads as "", not as "undefined".
        code.op(action::kPushDuplicate);
        code.op(action::kTypeOf);
        code.push("undefined");
        code.op(action::kStringEquals);
        code.op(action::kNot);
        code.jumpIf(defined);
        code.op(action::kPop);
        code.push("");
        code.bind(defined);
        code.op(action::kStringAdd);
        code.getUrl2(0);
    });
    code.bind(none);
}

// Frames a poll may take before the clip gives up on it and polls again (its answer
// may have been lost); a few seconds at the usual frame rates.
constexpr std::int32_t patience = 48;

Bytes frameActions(const std::string& pollUrl, BridgeReads reads) {
    ActionWriter code;
    // done starts at 0 (an undefined one would compare as NaN in movies of version 7).
    const auto started = code.label();
    pushVariable(code, "done");
    code.jumpIf(started);
    setNumber(code, "done", 0);
    code.bind(started);
    applyAnswer(code, reads);

    // One poll at a time: the next goes out in the frame its predecessor's answer came
    // in, or when that has been out for patience frames.
    const auto poll = code.label();
    const auto wait = code.label();
    pushVariable(code, "waiting");
    code.op(action::kNot);
    code.jumpIf(poll);
    code.push("waiting");
    pushVariable(code, "waiting");
    code.push(1);
    code.op(action::kAdd);
    code.op(action::kSetVariable);
    pushVariable(code, "waiting");
    code.push(patience);
    code.op(action::kLess);
    code.jumpIf(wait);
    code.bind(poll);
    setNumber(code, "waiting", 1);
    code.push(pollUrl + "?after=");
    pushVariable(code, "done");
    code.op(action::kStringAdd);
    code.push(std::string(mainTimeline) + "." + bridgeSpriteName);
    code.getUrl2(getUrl2::kLoadVariables | getUrl2::kTargetIsClip);
    code.bind(wait);
    return code.finish();
}

void appendTag(Bytes& out, TagCode code, const Bytes& body) {
    SWFTag tag(code, Bytes(body));
    tag.writeTo(out);
}

Bytes spriteBody(std::uint16_t id, const std::string& pollUrl, BridgeReads reads) {
    Bytes body;
    writeUI16(body, id);
    writeUI16(body, 2);
    // A clip of one frame would run its actions once: two frames loop.
    const Bytes actions = frameActions(pollUrl, reads);
    appendTag(body, TagCode::DoAction, actions);
    appendTag(body, TagCode::ShowFrame, {});
    appendTag(body, TagCode::DoAction, actions);
    appendTag(body, TagCode::ShowFrame, {});
    appendTag(body, TagCode::End, {});
    return body;
}

Bytes placementBody(std::uint16_t id, std::uint16_t depth) {
    constexpr std::uint8_t hasName = 0x20;
    constexpr std::uint8_t hasCharacter = 0x02;
    Bytes body{hasName | hasCharacter};
    writeUI16(body, depth);
    writeUI16(body, id);
    const std::string name = bridgeSpriteName;
    body.insert(body.end(), name.begin(), name.end());
    body.push_back(0);
    return body;
}

// The character ids of the imports of an ImportAssets (2) body.
void addImportedIds(const SWFTag& tag, std::set<std::uint16_t>& ids) {
    ByteReader reader(tag.body());
    if (!reader.readCString()) return;
    if (tag.code() == TagCode::ImportAssets2) reader.skip(2);
    const std::uint16_t count = reader.readU16LE();
    for (std::uint16_t i = 0; i < count && !reader.overrun(); ++i) {
        const std::uint16_t id = reader.readU16LE();
        if (!reader.readCString()) return;
        ids.insert(id);
    }
}

bool definesCharacter(TagCode code) {
    const std::string_view name = tagName(code);
    return name.starts_with("Define");
}

// The depth of a placement record of the main timeline; nullopt for other tags.
std::optional<std::uint16_t> placedDepth(const SWFTag& tag) {
    const ByteSpan body = tag.body();
    switch (tag.code()) {
        case TagCode::PlaceObject:
        case TagCode::RemoveObject:
            if (body.size() >= 4) return peekUI16(body, 2);
            break;
        case TagCode::PlaceObject2:
            if (body.size() >= 3) return peekUI16(body, 1);
            break;
        case TagCode::PlaceObject3:
            if (body.size() >= 4) return peekUI16(body, 2);
            break;
        default: break;
    }
    return std::nullopt;
}

}  // namespace

Result<Bytes> addBridgeSprite(ByteSpan movie, const std::string& name, const std::string& pollUrl, BridgeReads reads) {
    auto read = readSWF(movie, name);
    if (!read) return read.report();
    SWFFile& file = *read;
    if (file.version() < 5) {
        return Report::failure(name + ": a movie of version " + std::to_string(file.version()) +
                               " cannot run the actions of version 5 that reach its variables");
    }
    std::set<std::uint16_t> ids;
    std::set<std::uint16_t> depths;
    for (const auto& tag : file.tags()) {
        if (definesCharacter(tag->code()) && tag->length() >= 2) ids.insert(tag->characterId());
        if (tag->code() == TagCode::ImportAssets || tag->code() == TagCode::ImportAssets2) {
            addImportedIds(*tag, ids);
        }
        if (auto depth = placedDepth(*tag)) depths.insert(*depth);
    }
    // The highest free id; a movie's own ids count up from 1.
    std::uint16_t id = 0xFFFF;
    while (id > 0 && ids.contains(id)) --id;
    // The top of the depths a timeline places at (below 16384, where the depths of
    // duplicated and attached clips begin), so the movie's scripts do not meet it.
    std::uint16_t depth = 16383;
    while (depth > 0 && depths.contains(depth)) --depth;
    if (id == 0 || depth == 0) {
        return Report::failure(name + ": the movie has no character id or depth left for the bridge");
    }

    auto& tags = file.tags();
    auto firstFrameEnd = std::find_if(tags.begin(), tags.end(), [](const auto& tag) {
        return tag->code() == TagCode::ShowFrame || tag->code() == TagCode::End;
    });
    const auto at = firstFrameEnd - tags.begin();
    tags.insert(tags.begin() + at, std::make_unique<SWFTag>(TagCode::PlaceObject2, placementBody(id, depth)));
    tags.insert(tags.begin() + at, std::make_unique<SWFTag>(TagCode::DefineSprite, spriteBody(id, pollUrl, reads)));
    file.setCompression(SWFCompression::None);
    return serializeSWF(file);
}

}  // namespace tarvenox::web
