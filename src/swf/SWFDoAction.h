// DoAction (code 12): ActionScript byte code run when its frame is reached.
#pragma once

#include <memory>
#include <vector>

#include "swf/MovieText.h"
#include "swf/SWFTag.h"

namespace tarvenox {

class SWFType;

class SWFDoAction : public SWFTag {
public:
    SWFDoAction(int code, Bytes body) : SWFTag(code, std::move(body)) {}

    // Replaces the whole body with the assignments of the variables, in list order,
    // followed by ActionEnd, the texts in the movie's encoding.
    void setVariables(const std::vector<std::unique_ptr<SWFType>>& variables, MovieTextEncoding encoding);
};

}  // namespace tarvenox
