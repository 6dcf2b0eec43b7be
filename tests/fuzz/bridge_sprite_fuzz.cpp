// Adds the bridge clip to arbitrary bytes read as an interface movie, and answers a poll
// and a read made of the same bytes.
#include <cstdint>
#include <string_view>

#include "common/Log.h"
#include "swf/SWFReader.h"
#include "ui/web/BridgeSprite.h"
#include "ui/web/SkinBridge.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvenox;
    setLogStream(nullptr);
    if (auto copy = web::addBridgeSprite(ByteSpan(data, size), "skin.swf", "/s/x/skin/poll")) {
        // A copy is only made of a movie read completely, and reads back completely.
        if (!readSWF(*copy, "copy.swf")) __builtin_trap();
    }
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    web::SkinBridge skin(std::chrono::milliseconds(0));
    skin.setVariable(std::string(text), std::string(text));
    skin.poll(text);
    skin.answer(text);
    return 0;
}
