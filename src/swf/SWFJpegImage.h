// DefineBits (code 6) and DefineBitsJPEG2 (code 21): JPEG data after the character id.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/Report.h"
#include "swf/SWFImage.h"

namespace tarvenox {

class SWFJpegImage : public SWFImage {
public:
    SWFJpegImage(int code, Bytes body) : SWFImage(code, std::move(body)) {}

    // A DefineBitsJPEG2 tag with the id that carries the JPEG file's bytes unchanged.
    // A file that cannot be read fails the report ("Datei ... nicht gefunden.") and
    // gives nullptr, so that the picture it was to replace stays.
    static std::unique_ptr<SWFJpegImage> fromFile(std::uint16_t characterId, const std::string& path,
                                                  Report& report);
    // The same from bytes in memory: id, the marker bytes 0xFF 0xD9 0xFF 0xD8, the
    // JPEG data, 0xFF 0xD9. The leading pair of markers (an empty stream) is what
    // players expect from DefineBitsJPEG2 tags written by early Flash tools.
    static std::unique_ptr<SWFJpegImage> fromJpegData(std::uint16_t characterId, ByteSpan jpeg);

    // The size in the JPEG frame header, found on the first call; 0 x 0 when the data
    // holds no frame header.
    std::uint16_t width() const override;
    std::uint16_t height() const override;

private:
    void scanSize() const;

    // Found by the first read of the size and kept: reading it changes nothing else.
    mutable std::int32_t width_ = 0;
    mutable std::int32_t height_ = 0;
};

}  // namespace tarvenox
