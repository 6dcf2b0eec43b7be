// Writing a movie.
#include "swf/SWFWriter.h"

#include "common/FileIO.h"
#include "common/Log.h"
#include "common/Texts.h"

namespace tarvenox {

namespace {

// The End tag: a record header of code 0, length 0.
constexpr std::uint8_t kEndTag[] = {0, 0};
constexpr std::size_t kEndTagSize = sizeof kEndTag;

}  // namespace

ByteChain movieBytes(const SWFFile& movie) {
    ByteChain out;
    const MovieHeader& header = movie.header();
    std::uint64_t total = header.size() + kEndTagSize;
    for (const auto& tag : movie.tags()) total += tag->outputSize();
    // The file length is computed for the bytes written, never kept in the model.
    out.appendCopy(header.withFileLength(total));
    for (const auto& tag : movie.tags()) tag->appendTo(out);
    out.appendCopy(kEndTag);
    if (movie.compression() == SWFCompression::None) return out;
    return ByteChain(packSWF(out.flatten(), movie.compression()));
}

Bytes serializeSWF(const SWFFile& movie) { return movieBytes(movie).flatten(); }

Report writeSWF(const SWFFile& movie, const std::string& path) {
    if (movie.fileChanged()) {
        return Report::failure(text("movie.changedWhileRead", {path}));
    }
    logPrint("writing SWFFile: %s\n", path.c_str());
    return writeFileAtomically(path, movieBytes(movie));
}

}  // namespace tarvenox
