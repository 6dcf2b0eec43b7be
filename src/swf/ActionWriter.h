// Writes ActionScript byte code: records appended in order, branches to labels whose
// offsets are filled in when the code is finished. Writers compose: one writer's code
// can be appended to another's (then, ifElse), so that scripts are built from parts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/Bytes.h"
#include "swf/ActionRecords.h"

namespace tarvenox {

// ActionGetURL2's flags as players and compilers write them (whatever order the format's
// own table suggests): the high bit loads variables, the next one says the target is a
// movie clip's path, the low two bits are the HTTP method.
namespace getUrl2 {
inline constexpr std::uint8_t kLoadVariables = 0x80;
inline constexpr std::uint8_t kTargetIsClip = 0x40;
}  // namespace getUrl2

// The property numbers of SetProperty.
inline constexpr std::int32_t kVisibleProperty = 7;

// A value that an action pushes, typed as the movie's ActionScript sees it.
using ActionValue = std::variant<std::string, double, std::int32_t, bool>;

class ActionWriter {
public:
    using Label = std::size_t;

    // A label for a branch; bind places it.
    Label label();
    // The label stands for the position of the next record.
    void bind(Label label);

    // ActionPush of one string (no NUL: a player ends the string there), or of one
    // 32-bit integer. Throws Exception for a string with a NUL or too long for a record.
    ActionWriter& push(std::string_view text);
    ActionWriter& push(std::int32_t number);
    // One ActionPush of the values in order.
    ActionWriter& pushValues(std::initializer_list<ActionValue> values);
    // A record without a payload (code below 0x80).
    ActionWriter& op(std::uint8_t code);
    // ActionJump, and ActionIf (taken when the value it pops is true).
    void jump(Label to);
    void jumpIf(Label to);
    // ActionSetTarget: the variables named next are those of the clip at the path; ""
    // goes back to the clip the actions belong to.
    void setTarget(std::string_view path);
    // ActionGetURL2 with its flags: pops the target, then the URL.
    ActionWriter& getUrl2(std::uint8_t flags);
    // ActionGetURL with a fixed URL and target window.
    ActionWriter& getUrl(std::string_view url, std::string_view target);

    // Appends the code of another writer, its branches and labels with it.
    ActionWriter& then(const ActionWriter& more);
    // if (condition) { whenTrue } else { whenFalse }: the code each writer holds.
    ActionWriter& ifElse(const ActionWriter& condition, const ActionWriter& whenTrue,
                         const ActionWriter& whenFalse = {});

    // Pushes the value of the variable (a name, or a path such as "_root.title").
    ActionWriter& getVariable(const std::string& name);
    // name = the value that valueActions push.
    ActionWriter& setVariable(const std::string& name, const ActionWriter& valueActions);
    ActionWriter& setText(const std::string& name, const std::string& text);
    // target._visible = the value that condition pushes.
    ActionWriter& setVisible(const std::string& target, const ActionWriter& condition);
    // fscommand(command, argument) with a fixed argument, and with the value that
    // argumentActions push (an ActionGetURL2 whose window is the argument).
    ActionWriter& fsCommand(const std::string& command, const std::string& argument);
    ActionWriter& fsCommand(const std::string& command, const ActionWriter& argumentActions);
    // loadVariables(url, target): the variables of the URL-encoded text at url (relative
    // to the movie), set on the movie clip at the target path once it has loaded.
    ActionWriter& loadVariables(const std::string& url, const std::string& target);

    // The records with their branch offsets filled in, without an ActionEnd. Throws
    // Exception when a label was never bound or a branch reaches further than its 16-bit
    // offset can.
    Bytes bytes() const;
    // The same with an ActionEnd.
    Bytes finish() const;
    std::size_t size() const { return code_.size(); }

private:
    void record(std::uint8_t code, const Bytes& payload);
    void branch(std::uint8_t code, Label to);

    struct Branch {
        std::size_t end;  // the offset just after the branch record, where its offset counts from
        Label to;
    };
    Bytes code_;
    std::vector<std::size_t> labels_;  // bound offsets; npos until bound
    std::vector<Branch> branches_;
};

}  // namespace tarvenox
