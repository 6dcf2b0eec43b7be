// The tag class for each tag code.
#pragma once

#include <memory>

#include "swf/SWFTag.h"

namespace tarvenox {

// The object the reader keeps for a tag: a class of its own for the tags the program
// reads or replaces, a plain SWFTag (kept byte for byte) for every other code.
std::unique_ptr<SWFTag> createTag(TagCode code, TagBody body);

}  // namespace tarvenox
