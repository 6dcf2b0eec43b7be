// Writing the action variables into a movie.
#include "common/Exception.h"
#include "swf/SWFDoAction.h"
#include "swf/SWFFile.h"
#include "swf/SWFType.h"

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

void SWFFile::assignVariablesUnchecked(const std::vector<std::unique_ptr<SWFType>>& variables) {
    auto first = std::find_if(tags_.begin(), tags_.end(),
                              [](const auto& tag) { return dynamic_cast<SWFDoAction*>(tag.get()) != nullptr; });
    Bytes unassigned;
    for (const auto& variable : variables) {
        auto* doAction = first == tags_.end() ? nullptr : static_cast<SWFDoAction*>(first->get());
        if (doAction == nullptr || !doAction->assignInPlace(*variable, textEncoding())) {
            variable->appendActionBytes(unassigned, textEncoding());
        }
    }
    if (unassigned.empty()) return;
    unassigned.push_back(0x00);  // ActionEnd
    // Run before the movie's own first actions, in the first frame: before the first
    // DoAction, else before the first ShowFrame.
    if (first == tags_.end()) {
        first =
            std::find_if(tags_.begin(), tags_.end(), [](const auto& tag) { return tag->code() == TagCode::ShowFrame; });
    }
    tags_.insert(first, std::make_unique<SWFDoAction>(TagCode::DoAction, std::move(unassigned)));
}

Report SWFFile::assignVariables(const std::vector<std::unique_ptr<SWFType>>& variables) {
    Report report;
    // Only the first DoAction changes before the last variable is written, and the new
    // DoAction is added after it: restoring that one body undoes a failed assignment.
    auto first = std::find_if(tags_.begin(), tags_.end(),
                              [](const auto& tag) { return dynamic_cast<SWFDoAction*>(tag.get()) != nullptr; });
    const Bytes before = first == tags_.end() ? Bytes{} : Bytes((*first)->body().begin(), (*first)->body().end());
    try {
        assignVariablesUnchecked(variables);
    } catch (const Exception& e) {
        if (first != tags_.end()) (*first)->setData(before);
        report.fail(e.getMessage());
    }
    return report;
}

}  // namespace tarvenox
