// An SWF movie in memory: the header bytes and the top-level tags in file order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/ByteChain.h"
#include "common/ByteSource.h"
#include "common/Bytes.h"
#include "common/Report.h"
#include "swf/MovieText.h"
#include "swf/SWFCompression.h"
#include "swf/SWFRect.h"
#include "swf/SWFTag.h"

namespace tarvenox {

class MovieWindow;
class SWFType;

class SWFFile {
public:
    // Reads the movie at path (a UTF-8 path), in any of the three forms (FWS, CWS, ZWS).
    // Never throws: a movie that cannot be opened, that is not an SWF movie, whose
    // compressed data cannot be used, whose header is cut short, whose data ends before
    // the length its header gives ("truncated: 9063 of 18369 bytes"), or that ends inside
    // a tag is kept as far as it was read and reported through complete() and error().
    // A movie that ends right after a tag without an End tag, where its header says it
    // ends, is complete. An uncompressed
    // movie's file stays open: a tag's body is read from it when first used (small bodies
    // with the record headers around them), and an unchanged tag is written from there.
    // A compressed movie is inflated whole into memory.
    explicit SWFFile(const std::string& path);
    // Reads a movie held in memory; name stands for the file in messages.
    SWFFile(ByteSpan data, const std::string& name);
    // A record of a movie read record by record: its code and body length, and the tag
    // made from the first bytes of its body, read only when asked for (and only while
    // the record is handed over).
    class Record {
    public:
        int code() const { return code_; }
        std::uint32_t length() const { return length_; }
        // The tag with the first maxBytes bytes of its body (all of it when shorter): what
        // describing it needs, in memory bounded by maxBytes.
        std::unique_ptr<SWFTag> tag(std::size_t maxBytes) const;

    private:
        friend class SWFFile;
        Record(int code, std::uint32_t length, std::uint64_t bodyOffset, MovieWindow& window)
            : code_(code), length_(length), bodyOffset_(bodyOffset), window_(&window) {}
        int code_;
        std::uint32_t length_;
        std::uint64_t bodyOffset_;
        MovieWindow* window_;
    };
    using RecordSink = std::function<void(const Record&)>;
    // Reads the movie at path record by record, handing each record to onRecord, in
    // memory that does not grow with the movie: no tag is kept (tags() stays empty), the
    // bodies are skipped unless a record's tag is asked for, and a CWS or ZWS movie is
    // inflated piece by piece. The header, complete(), error() and endTagMissing() are
    // those of the whole reading; records seen before a compressed movie's data turns
    // out unusable have been handed over all the same. For describing a movie.
    SWFFile(const std::string& path, RecordSink onRecord);
    // A new movie without tags: uncompressed, with the given version, frame RECT (twips),
    // frame rate (frames per second, kept to 1/256) and frame count.
    SWFFile(std::uint8_t version, SWFRect frame, double frameRate, std::uint16_t frameCount);

    bool complete() const { return error_.empty(); }
    // What is wrong, naming the file: empty for a complete movie.
    const std::string& error() const { return error_; }

    // Writes the movie with its file length fixed up: header, tags, End tag. A movie
    // that was not read completely is never written: false, with error() saying why.
    // The target is replaced through a temporary file, so a failed write leaves it as
    // it was. A movie whose file was found cut short since it was read is not written
    // either. Logs "writing SWFFile: path".
    bool write(const std::string& path, std::string* error = nullptr);
    // The bytes write() would store (nothing when not even the header was read), in
    // the movie's form: compressed again when it was read compressed.
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

    // The header bytes kept verbatim (signature, version, file length, frame RECT,
    // frame rate, frame count).
    ByteSpan header() const { return header_; }
    std::string signature() const;
    std::uint8_t version() const;
    // How the movie's strings are encoded, by its version.
    MovieTextEncoding textEncoding() const { return movieTextEncoding(version()); }
    std::uint32_t fileLengthField() const;
    SWFRect frameRect() const;
    double frameRate() const;
    std::uint16_t frameCount() const;

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
            return dynamic_cast<T*>(tag.get()) != nullptr && tag->length() >= 2 &&
                   tag->characterId() == *id;
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

    // The length of a header whose frame RECT has nBits bits per value.
    static std::size_t headerLength(int nBits);

private:
    void assignVariablesUnchecked(const std::vector<std::unique_ptr<SWFType>>& variables);
    // The movie's file, or nullptr with error() saying why it cannot be read.
    std::shared_ptr<ByteSource> openSource(const std::string& path);
    void readFile(const std::string& path);
    void readRecords(const std::string& path);
    // The signature, setting the form; nullopt (error() set) when it is not a movie's.
    std::optional<std::string> readSignature(const ByteSource& source, const std::string& name);
    // What is said of compressed data that cannot be used; truncated data in the words
    // of any cut-off movie.
    std::string unusableData(const std::string& name, const std::string& sig, const std::string& problem,
                             bool truncated) const;
    void read(std::shared_ptr<const ByteSource> source, const std::string& name);
    // The movie uncompressed, size bytes long: header and tags, whose bodies are parts of
    // source (for the tags kept).
    void readPlain(MovieWindow& window, std::uint64_t size, const std::shared_ptr<const ByteSource>& source,
                   const std::string& name);

    Bytes header_;
    SWFCompression compression_ = SWFCompression::None;
    bool endTagMissing_ = false;
    std::vector<std::unique_ptr<SWFTag>> tags_;
    // The movie uncompressed, which the tags' bodies are parts of.
    std::shared_ptr<const ByteSource> source_;
    RecordSink recordSink_;
    std::string error_;
};

// The colour of the first SetBackgroundColor record in the file (the byte pair 0x43
// 0x02, searched from the very first byte of the movie uncompressed) as 0xRRGGBB; nullopt when the file cannot
// be opened or has no such record.
std::optional<std::int32_t> probeBackgroundColor(const std::string& path);

// Width and height of the frame RECT (of the movie uncompressed) in twips; nullopt when the file cannot be opened
// or is shorter than its RECT.
std::optional<std::pair<std::int32_t, std::int32_t>> probeFrameSize(const std::string& path);

}  // namespace tarvenox
