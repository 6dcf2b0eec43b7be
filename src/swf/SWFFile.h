// An SWF movie in memory, the model the customisation works on: the header bytes and the
// top-level tags in file order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/ByteChain.h"
#include "common/ByteSource.h"
#include "common/Bytes.h"
#include "common/Report.h"
#include "swf/MovieHeader.h"
#include "swf/MovieText.h"
#include "swf/SWFCompression.h"
#include "swf/SWFRect.h"
#include "swf/SWFTag.h"

namespace tarvenox {

class SWFType;

class SWFFile {
public:
    // A movie: its header, the form it is written in, its tags in file order, whether
    // the End tag was missing where it was read (it is written with one all the same)
    // and the movie uncompressed that the tags' bodies are parts of (nullptr for a movie
    // made by the program). Movies are read by readSWF (SWFReader.h).
    SWFFile(MovieHeader header, SWFCompression compression, std::vector<std::unique_ptr<SWFTag>> tags,
            bool endTagMissing, std::shared_ptr<const ByteSource> source);
    // A new movie without tags: uncompressed, with the given version, frame RECT (twips),
    // frame rate (frames per second, kept to 1/256) and frame count.
    SWFFile(std::uint8_t version, SWFRect frame, double frameRate, std::uint16_t frameCount);

    // Writes the movie with its file length fixed up: header, tags, End tag. The target
    // is replaced through a temporary file, so a failed write leaves it as it was. A
    // movie whose file was found cut short since it was read is not written: the report
    // fails with the reason. Logs "writing SWFFile: path".
    Report write(const std::string& path);
    // The bytes write() would store, in the movie's form: compressed again when it was
    // read compressed.
    Bytes serialize() const;
    // The same in pieces: the records of unchanged tags of an uncompressed movie stay in
    // the file they were read from, and are copied from there when written. The pieces
    // refer to the tags' bodies: valid while the movie is neither changed nor destroyed.
    ByteChain bytes() const;

    // The form the movie was read in and is written in.
    SWFCompression compression() const { return compression_; }
    // Changes the form written (and the signature in the header).
    void setCompression(SWFCompression compression);
    // True when the data ended after the last tag without an End tag; the movie is
    // written with one.
    bool endTagMissing() const { return endTagMissing_; }

    std::vector<std::unique_ptr<SWFTag>>& tags() { return tags_; }
    const std::vector<std::unique_ptr<SWFTag>>& tags() const { return tags_; }

    // The header bytes kept verbatim and their fields.
    const MovieHeader& header() const { return header_; }
    std::string signature() const { return header_.signature(); }
    std::uint8_t version() const { return header_.version(); }
    MovieTextEncoding textEncoding() const { return header_.textEncoding(); }
    std::uint32_t fileLengthField() const { return header_.fileLengthField(); }
    SWFRect frameRect() const { return header_.frameRect(); }
    double frameRate() const { return header_.frameRate(); }
    std::uint16_t frameCount() const { return header_.frameCount(); }

    // The character id of the first (id, name) pair of an ExportAssets or SymbolClass
    // tag, in file order, whose name is exportName. Names are the movie's own texts and
    // compare byte for byte.
    std::optional<std::uint16_t> findExportedId(const std::string& exportName) const;

    // The list position of the first tag of class T that defines the character exported
    // under exportName, a product text (see findExportedId); tags().end() when there is
    // none.
    template <class T>
    std::vector<std::unique_ptr<SWFTag>>::iterator findExported(const std::string& exportName) {
        const auto id = findExportedId(toMovieText(exportName, textEncoding()));
        if (!id) return tags_.end();
        return std::find_if(tags_.begin(), tags_.end(), [&](const auto& tag) {
            return dynamic_cast<T*>(tag.get()) != nullptr && tag->length() >= 2 && tag->characterId() == *id;
        });
    }

    // The customisation of a template, each on the first tag that fits.
    // (Fonts, pictures and sounds are replaced by font/FontReplacement.h,
    // picture/PictureReplacement.h and sound/Mp3Sound.h.)
    // Replaces the first DoAction's actions with the assignments of the variables.
    void setVariables(const std::vector<std::unique_ptr<SWFType>>& variables);
    // Keeps the first DoAction's actions: a variable they assign gets its new value
    // there (SWFDoAction::assignInPlace); the others are assigned in a new DoAction
    // placed just before it (before the first ShowFrame when the movie has none).
    // A variable that cannot be written fails the report and leaves the actions as they
    // were.
    Report assignVariables(const std::vector<std::unique_ptr<SWFType>>& variables);
    void setBackgroundColor(std::int32_t rgb);

private:
    void assignVariablesUnchecked(const std::vector<std::unique_ptr<SWFType>>& variables);

    MovieHeader header_;
    SWFCompression compression_ = SWFCompression::None;
    bool endTagMissing_ = false;
    std::vector<std::unique_ptr<SWFTag>> tags_;
    // The movie uncompressed, which the tags' bodies are parts of.
    std::shared_ptr<const ByteSource> source_;
};

}  // namespace tarvenox
