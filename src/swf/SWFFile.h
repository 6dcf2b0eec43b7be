// An SWF movie in memory, the model the customisation works on: the header bytes and the
// top-level tags in file order. It is written by writeSWF (SWFWriter.h).
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/ByteSource.h"
#include "swf/MovieHeader.h"
#include "swf/MovieText.h"
#include "swf/SWFCompression.h"
#include "swf/SWFRect.h"
#include "swf/SWFTag.h"

namespace tarvenox {

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

    // The form the movie was read in and is written in.
    SWFCompression compression() const { return compression_; }
    // Changes the form written (and the signature in the header).
    void setCompression(SWFCompression compression);
    // True when the data ended after the last tag without an End tag; the movie is
    // written with one.
    bool endTagMissing() const { return endTagMissing_; }
    // True when the file the movie was read from has changed since (found cut short
    // where a tag's body was read from it): the movie cannot be written whole.
    bool fileChanged() const { return source_ && source_->changed(); }

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

    // The first top-level tag that defines character id (see definesCharacter); nullptr
    // when none does.
    const SWFTag* findDefinition(std::uint16_t id) const;
    SWFTag* findDefinition(std::uint16_t id) { return const_cast<SWFTag*>(std::as_const(*this).findDefinition(id)); }

    // The character id that a slot names when the movie exports nothing under it (see
    // readCharacterId); nullopt when it exports the name or the slot does not read as an
    // id. Whether the movie defines that character is not asked.
    std::optional<std::uint16_t> slotIdReading(const std::string& slot) const;

    // The character a slot (a picture's or sound's name as the user gives it, in the
    // movie's encoding) names: the id exported under that name, else the id it reads as
    // when a top-level tag defines that character. A name the movie exports wins over the
    // id reading, whatever character it is exported for.
    std::optional<std::uint16_t> findSlotId(const std::string& slot) const;

    // The list position of the first tag of class T that defines the character exported
    // under exportName, a product text (see findExportedId); tags().end() when there is
    // none.
    template <class T>
    std::vector<std::unique_ptr<SWFTag>>::iterator findExported(const std::string& exportName) {
        return findDefining<T>(findExportedId(toMovieText(exportName, textEncoding())));
    }
    // The same for the character a slot names, a product text (see findSlotId).
    template <class T>
    std::vector<std::unique_ptr<SWFTag>>::iterator findSlot(const std::string& slot) {
        return findDefining<T>(findSlotId(toMovieText(slot, textEncoding())));
    }
    // The list position of the first tag of class T with character id; tags().end() when
    // there is none or no id is given.
    template <class T>
    std::vector<std::unique_ptr<SWFTag>>::iterator findDefining(std::optional<std::uint16_t> id) {
        if (!id) return tags_.end();
        return std::find_if(tags_.begin(), tags_.end(), [&](const auto& tag) {
            return dynamic_cast<T*>(tag.get()) != nullptr && tag->length() >= 2 && tag->characterId() == *id;
        });
    }

private:
    MovieHeader header_;
    SWFCompression compression_ = SWFCompression::None;
    bool endTagMissing_ = false;
    std::vector<std::unique_ptr<SWFTag>> tags_;
    // The movie uncompressed, which the tags' bodies are parts of.
    std::shared_ptr<const ByteSource> source_;
};

}  // namespace tarvenox
