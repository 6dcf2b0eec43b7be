// Writing the action variables into a movie.
#include "swf/SWFDoAction.h"
#include "swf/SWFFile.h"

namespace tarvenox {

void SWFFile::setVariables(const std::vector<std::unique_ptr<SWFType>>& variables) {
    // Only the first DoAction is rewritten; its former actions are dropped whole.
    for (auto& tag : tags_) {
        if (auto* doAction = dynamic_cast<SWFDoAction*>(tag.get())) {
            doAction->setVariables(variables, textEncoding());
            return;
        }
    }
}

}  // namespace tarvenox
