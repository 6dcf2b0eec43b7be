// ActionScript of Flash 5 movies as bytes: the actions the tools' movies run, with the
// branches of a condition computed from what they jump over.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <variant>

#include "common/Bytes.h"
#include "swf/ActionRecords.h"

namespace tarvenox::tools {

// A value that an action pushes, typed as the movie's ActionScript sees it.
using ActionValue = std::variant<std::string, double, std::int32_t, bool>;

// The property numbers of SetProperty.
inline constexpr std::int32_t kVisibleProperty = 7;

// A run of action records. Without a final ActionEnd: a DoAction or a button's actions
// add it when they are written.
class Actions {
public:
    Actions& op(std::uint8_t code);  // a code of swf/ActionRecords.h
    // One ActionPush of the values in order.
    Actions& push(std::initializer_list<ActionValue> values);
    Actions& then(const Actions& more);

    // Pushes the value of the variable (a name, or a path such as "_root.title").
    Actions& getVariable(const std::string& name);
    // name = the value that valueActions push.
    Actions& setVariable(const std::string& name, const Actions& valueActions);
    Actions& setText(const std::string& name, const std::string& text);
    // target._visible = the value that condition pushes.
    Actions& setVisible(const std::string& target, const Actions& condition);
    // fscommand(command, argument) with a fixed argument, and with the value that
    // argumentActions push (an ActionGetURL2 whose window is the argument).
    Actions& fsCommand(const std::string& command, const std::string& argument);
    Actions& fsCommand(const std::string& command, const Actions& argumentActions);
    // loadVariables(url, target): the variables of the URL-encoded text at url (relative
    // to the movie), set on the movie clip at the target path once it has loaded.
    Actions& loadVariables(const std::string& url, const std::string& target);
    // if (condition) { whenTrue } else { whenFalse }; throws when a branch is too long
    // for a jump offset.
    Actions& ifElse(const Actions& condition, const Actions& whenTrue, const Actions& whenFalse = {});

    const Bytes& bytes() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }

private:
    // A record of code 0x80 or above: the code, the payload's length, the payload.
    Actions& record(std::uint8_t code, const Bytes& payload);

    Bytes bytes_;
};

}  // namespace tarvenox::tools
