// The files and faces one save converts: each converted once, all at the same time on the
// available cores, from the moment the conversions are started, for the check of the
// changes and their application alike.
#pragma once

#include <future>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "font/GlyphOutlines.h"
#include "picture/PictureFile.h"
#include "sound/Mp3Sound.h"

namespace tarvenox {

class SWFFile;

// Each kind of change: a name of the movie (a product text) and a file or face.
using Replacements = std::map<std::string, std::string>;

class Conversions {
public:
    // Starts converting each change the movie can take: the face of a font it has (all
    // faces one after the other: the font engine serves one thread at a time), the picture
    // or MP3 file of a picture or sound it exports under that name or defines under that
    // character id. The results depend on the files and faces alone, whichever finishes
    // first. Destroying the object waits for the conversions still running. With
    // PreviewCopy::Yes a large JPEG picture also gets its smaller copy for the preview
    // (PictureConversion).
    Conversions(SWFFile& movie, const Replacements& fonts, const Replacements& pictures, const Replacements& sounds,
                PreviewCopy previews = PreviewCopy::No);
    Conversions(const Conversions&) = delete;
    Conversions& operator=(const Conversions&) = delete;

    // The conversion of that name's face or file, once it is done; nullptr when none was
    // started for the pair. The caller may take the converted tag out. A conversion that
    // threw (std::bad_alloc) throws again here.
    const GlyphOutlines* outlines(const std::string& fontName, const std::string& face);
    Result<PictureConversion>* picture(const std::string& exportName, const std::string& path);
    Result<SoundConversion>* sound(const std::string& exportName, const std::string& path);

private:
    template <class T>
    struct Job {
        std::string value;
        std::future<T> future;
        std::optional<T> result;
        T* get();
    };
    using FaceOutlines = std::map<std::string, GlyphOutlines>;

    std::map<std::string, std::string> fontFaces_;
    Job<FaceOutlines> faces_;
    std::map<std::string, Job<Result<PictureConversion>>> pictures_;
    std::map<std::string, Job<Result<SoundConversion>>> sounds_;
};

}  // namespace tarvenox
