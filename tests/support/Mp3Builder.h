// Builds MP3 data for tests: real frame headers with silent (zero) payloads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/Bytes.h"

namespace tarvenox::test {

// Common headers, as the big-endian word of their four bytes.
constexpr std::uint32_t kMpeg1Layer3_128k_44100_Joint = 0xFFFB9064;
constexpr std::uint32_t kMpeg2Layer3_64k_22050_Mono = 0xFFF380C0;

// One frame of the header's length: the four header bytes, then zeros.
Bytes mp3Frame(std::uint32_t header);
// count such frames one after the other.
Bytes mp3Frames(std::uint32_t header, int count);
// bytes, whose last four are a frame header, then two more headers of that frame's
// length (three chained frames: the least the search takes for a stream), then zeros
// up to size. A free-format header, which has no length, stands alone.
Bytes headerThenZeros(Bytes bytes, std::size_t size);
// A Xing or Info frame of the header's format, declaring the frame count when given.
Bytes infoFrame(std::uint32_t header, std::optional<std::uint32_t> frames, const std::string& marker = "Xing");
// An ID3v2 tag of exactly size bytes, none of them 0xFF.
Bytes id3v2Tag(std::size_t size);
// An ID3v1 tag: "TAG" and 125 bytes of fields.
Bytes id3v1Tag();

}  // namespace tarvenox::test
