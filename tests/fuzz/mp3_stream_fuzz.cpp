// Reads arbitrary bytes as an MP3 file and builds a DefineSound from them.
#include <cstdint>

#include "sound/Mp3Sound.h"
#include "sound/Mp3Stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvenox;
    const ByteSpan mp3(data, size);
    const Mp3Stream stream = readMp3Stream(mp3);
    const auto made = soundFromMp3(1, mp3, "fuzz.mp3");
    const SWFDefineSound* sound = made ? made->get() : nullptr;
    // A sound exists exactly when the stream is usable, and holds the data from the
    // first frame on behind its nine bytes of fields.
    if ((sound != nullptr) != (stream.problem == Mp3Stream::Problem::None)) __builtin_trap();
    if (sound && sound->length() != 9 + size - stream.offset) __builtin_trap();
    if (sound && sound->format()->sampleCount != stream.sampleCount) __builtin_trap();
    return 0;
}
