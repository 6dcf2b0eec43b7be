// The user's chosen files and faces, converted once.
#include "edit/ChosenMedia.h"

#include "common/Texts.h"
#include "picture/PictureFile.h"
#include "sound/Mp3Sound.h"
#include "swf/SWFDefineSound.h"
#include "swf/SWFImage.h"
#include "swf/TagFactory.h"

namespace tarvenox {

namespace {

// The tag made anew from its code and body, as the kind asked for.
template <class T>
std::unique_ptr<T> copyOf(TagCode code, const Bytes& body) {
    std::unique_ptr<SWFTag> tag = createTag(code, Bytes(body));
    if (auto* typed = dynamic_cast<T*>(tag.get())) {
        tag.release();
        return std::unique_ptr<T>(typed);
    }
    return nullptr;
}

}  // namespace

namespace {

// A refusal with the first message of the conversion's report, the one the user is shown.
Report refusedWith(const Report& report) {
    Report refusal;
    refusal.fail(report.messages().front().text).because(report.reason());
    return refusal;
}

}  // namespace

Report ChosenMedia::addPicture(const std::string& path) {
    // The file is kept unfitted: each save fits it to its slot.
    if (pictures_.contains(path)) return {};
    Result<PictureConversion> conversion = convertPicture(path);
    if (const Report verdict = pictureVerdict(conversion, path); verdict.failed()) return refusedWith(verdict);
    // A file of another kind, which a save would pass over without a word.
    if (!conversion->image) return Report().fail(text("picture.notPicture", {path}));
    const ByteSpan body = conversion->image->body();
    pictures_[path] = {conversion->image->code(), Bytes(body.begin(), body.end())};
    return {};
}

Report ChosenMedia::addSound(const std::string& path) {
    if (sounds_.contains(path)) return {};
    Result<SoundConversion> conversion = convertMp3File(path);
    if (!conversion) return refusedWith(conversion.report());
    const ByteSpan body = conversion->sound->body();
    sounds_[path] = {conversion->sound->code(), Bytes(body.begin(), body.end())};
    return {};
}

Report ChosenMedia::addFace(const std::string& face) {
    if (faces_.contains(face)) return {};
    GlyphOutlines outlines = extractGlyphOutlines(face);
    for (const UserMessage& message : outlines.report.messages()) {
        if (message.text == noFontMessage()) return Report().fail(message.text);
    }
    faces_.emplace(face, std::move(outlines));
    return {};
}

bool ChosenMedia::holdsPicture(const std::string& path) const { return pictures_.contains(path); }

std::unique_ptr<SWFImage> ChosenMedia::picture(const std::string& path) const {
    auto it = pictures_.find(path);
    return it == pictures_.end() ? nullptr : copyOf<SWFImage>(it->second.code, it->second.body);
}

std::unique_ptr<SWFDefineSound> ChosenMedia::sound(const std::string& path) const {
    auto it = sounds_.find(path);
    return it == sounds_.end() ? nullptr : copyOf<SWFDefineSound>(it->second.code, it->second.body);
}

const GlyphOutlines* ChosenMedia::outlines(const std::string& face) const {
    auto it = faces_.find(face);
    return it == faces_.end() ? nullptr : &it->second;
}

}  // namespace tarvenox
