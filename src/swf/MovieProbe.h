// Quick looks at a movie file that need neither the whole movie nor much memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace tarvenox {

// The colour of the first SetBackgroundColor record in the file (the byte pair 0x43
// 0x02, searched from the very first byte of the movie uncompressed) as 0xRRGGBB; nullopt when the file cannot
// be opened or has no such record.
std::optional<std::int32_t> probeBackgroundColor(const std::string& path);

// Width and height of the frame RECT (of the movie uncompressed) in twips; nullopt when the file cannot be opened
// or is shorter than its RECT.
std::optional<std::pair<std::int32_t, std::int32_t>> probeFrameSize(const std::string& path);

}  // namespace tarvenox
