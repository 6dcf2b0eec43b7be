// DefineSound (code 14): an event sound, here always MP3 data.
#pragma once

#include "swf/SWFTag.h"

namespace tarvenox {

class SWFDefineSound : public SWFTag {
public:
    SWFDefineSound(int code, Bytes body) : SWFTag(code, std::move(body)) {}
};

}  // namespace tarvenox
