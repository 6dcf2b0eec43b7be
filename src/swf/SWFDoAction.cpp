// DoAction.
#include "swf/SWFDoAction.h"

#include "swf/SWFType.h"

namespace tarvenox {

void SWFDoAction::setVariables(const std::vector<std::unique_ptr<SWFType>>& variables,
                               MovieTextEncoding encoding) {
    // Built whole before it is installed: a variable that cannot be written leaves the
    // old body in place.
    setData(actionBytes(variables, encoding));
}

}  // namespace tarvenox
