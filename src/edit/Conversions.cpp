// The conversions of one save, run side by side.
#include "edit/Conversions.h"

#include <system_error>

#include "swf/SWFDefineSound.h"
#include "swf/SWFFile.h"
#include "swf/SWFFont.h"
#include "swf/SWFImage.h"

namespace tarvenox {

namespace {

// The work on a thread of its own, or, when no thread can be had, done when it is asked
// for.
template <class Work>
auto start(Work work) {
    try {
        return std::async(std::launch::async, std::move(work));
    } catch (const std::system_error&) {
        return std::async(std::launch::deferred, std::move(work));
    }
}

}  // namespace

template <class T>
T* Conversions::Job<T>::get() {
    if (!result && future.valid()) result.emplace(future.get());
    return result ? &*result : nullptr;
}

Conversions::Conversions(SWFFile& movie, const Replacements& fonts, const Replacements& pictures,
                         const Replacements& sounds, PreviewCopy previews) {
    for (const auto& [name, face] : fonts) {
        if (findFontSlot(movie, name) != nullptr) fontFaces_[name] = face;
    }
    if (!fontFaces_.empty()) {
        faces_.future = start([faces = fontFaces_] {
            FaceOutlines outlines;
            for (const auto& [name, face] : faces) {
                if (!outlines.contains(face)) outlines.emplace(face, extractGlyphOutlines(face));
            }
            return outlines;
        });
    }
    for (const auto& [name, path] : pictures) {
        if (findImageSlot(movie, name) == nullptr) continue;
        pictures_[name] = {path, start([path = path, previews] { return convertPicture(path, previews); }),
                           std::nullopt};
    }
    for (const auto& [name, path] : sounds) {
        if (findSoundSlot(movie, name) == nullptr) continue;
        sounds_[name] = {path, start([path = path] { return convertMp3File(path); }), std::nullopt};
    }
}

const GlyphOutlines* Conversions::outlines(const std::string& fontName, const std::string& face) {
    auto it = fontFaces_.find(fontName);
    if (it == fontFaces_.end() || it->second != face) return nullptr;
    FaceOutlines* outlines = faces_.get();
    return outlines == nullptr ? nullptr : &outlines->at(face);
}

Result<PictureConversion>* Conversions::picture(const std::string& exportName, const std::string& path) {
    auto it = pictures_.find(exportName);
    return it == pictures_.end() || it->second.value != path ? nullptr : it->second.get();
}

Result<SoundConversion>* Conversions::sound(const std::string& exportName, const std::string& path) {
    auto it = sounds_.find(exportName);
    return it == sounds_.end() || it->second.value != path ? nullptr : it->second.get();
}

}  // namespace tarvenox
