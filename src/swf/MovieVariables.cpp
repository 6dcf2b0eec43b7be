// Writing the action variables into a movie.
#include "swf/MovieVariables.h"

#include "common/Exception.h"
#include "swf/SWFDoAction.h"

namespace tarvenox {

namespace {

using Tags = std::vector<std::unique_ptr<SWFTag>>;

Tags::iterator firstDoAction(Tags& tags) {
    return std::find_if(tags.begin(), tags.end(),
                        [](const auto& tag) { return dynamic_cast<SWFDoAction*>(tag.get()) != nullptr; });
}

void assignVariablesUnchecked(SWFFile& movie, const std::vector<std::unique_ptr<SWFType>>& variables) {
    Tags& tags = movie.tags();
    auto first = firstDoAction(tags);
    Bytes unassigned;
    for (const auto& variable : variables) {
        auto* doAction = first == tags.end() ? nullptr : static_cast<SWFDoAction*>(first->get());
        if (doAction == nullptr || !doAction->assignInPlace(*variable, movie.textEncoding())) {
            variable->appendActionBytes(unassigned, movie.textEncoding());
        }
    }
    if (unassigned.empty()) return;
    unassigned.push_back(0x00);  // ActionEnd
    // Run before the movie's own first actions, in the first frame: before the first
    // DoAction, else before the first ShowFrame.
    if (first == tags.end()) {
        first =
            std::find_if(tags.begin(), tags.end(), [](const auto& tag) { return tag->code() == TagCode::ShowFrame; });
    }
    tags.insert(first, std::make_unique<SWFDoAction>(TagCode::DoAction, std::move(unassigned)));
}

}  // namespace

void setVariables(SWFFile& movie, const std::vector<std::unique_ptr<SWFType>>& variables) {
    // Only the first DoAction is rewritten; its former actions are dropped whole.
    auto first = firstDoAction(movie.tags());
    if (first != movie.tags().end())
        static_cast<SWFDoAction*>(first->get())->setVariables(variables, movie.textEncoding());
}

Report assignVariables(SWFFile& movie, const std::vector<std::unique_ptr<SWFType>>& variables) {
    Report report;
    // Only the first DoAction changes before the last variable is written, and the new
    // DoAction is added after it: restoring that one body undoes a failed assignment.
    auto first = firstDoAction(movie.tags());
    const Bytes before =
        first == movie.tags().end() ? Bytes{} : Bytes((*first)->body().begin(), (*first)->body().end());
    try {
        assignVariablesUnchecked(movie, variables);
    } catch (const Exception& e) {
        if (first != movie.tags().end()) (*first)->setData(before);
        report.fail(e.getMessage());
    }
    return report;
}

}  // namespace tarvenox
