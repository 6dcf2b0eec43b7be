// DoAction (code 12): ActionScript byte code run when its frame is reached.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "swf/ActionRecords.h"
#include "swf/MovieText.h"
#include "swf/SWFTag.h"

namespace tarvenox {

class SWFType;

class SWFDoAction : public SWFTag {
public:
    SWFDoAction(TagCode code, TagBody body) : SWFTag(code, std::move(body)) {}

    // Replaces the whole body with the assignments of the variables, in list order,
    // followed by ActionEnd, the texts in the movie's encoding.
    void setVariables(const std::vector<std::unique_ptr<SWFType>>& variables, MovieTextEncoding encoding);

    // Gives the variable its new value where the actions assign it: the first
    // assignment outside function bodies, ActionPush of the name (a string, or a
    // constant of the ActionConstantPool before it) and of one value, then
    // ActionSetVariable, with the two values in one ActionPush or in two. Only the
    // pushed value changes, to the variable's type and value; branches across it are
    // kept on target. False, with the body untouched, when the actions do not assign
    // the variable or cannot be walked. Throws Exception when the value cannot be
    // written there (a branch lands inside it, or would jump too far).
    // The name is matched, and the value written, in the movie's text encoding.
    bool assignInPlace(const SWFType& variable, MovieTextEncoding encoding);

    // The variables the actions assign as assignInPlace finds them, in order: each name
    // as the movie stores it and the value pushed (pointing into the body, valid until
    // it changes), and the text of a string value or of the constant-pool entry it names.
    struct VariableValue {
        std::string name;
        PushValue value;
        std::optional<std::string> text;
    };
    std::vector<VariableValue> assignedValues() const;
};

}  // namespace tarvenox
