// DefineShape (code 2): a shape whose bitmap fills can follow a replaced picture.
#pragma once

#include <cstdint>

#include "swf/SWFTag.h"

namespace tarvenox {

class SWFDefineShape : public SWFTag {
public:
    SWFDefineShape(int code, Bytes body) : SWFTag(code, std::move(body)) {}
};

}  // namespace tarvenox
