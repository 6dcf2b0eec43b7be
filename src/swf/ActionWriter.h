// Writes ActionScript byte code: records appended in order, branches to labels whose
// offsets are filled in when the code is finished.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
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

class ActionWriter {
public:
    using Label = std::size_t;

    // A label for a branch; bind places it.
    Label label();
    // The label stands for the position of the next record.
    void bind(Label label);

    // ActionPush of one string (no NUL: a player ends the string there), or of one
    // 32-bit integer. Throws Exception for a string with a NUL or too long for a record.
    void push(std::string_view text);
    void push(std::int32_t number);
    // A record without a payload (code below 0x80).
    void op(std::uint8_t code);
    // ActionJump, and ActionIf (taken when the value it pops is true).
    void jump(Label to);
    void jumpIf(Label to);
    // ActionSetTarget: the variables named next are those of the clip at the path; ""
    // goes back to the clip the actions belong to.
    void setTarget(std::string_view path);
    // ActionGetURL2 with its flags: pops the target, then the URL.
    void getUrl2(std::uint8_t flags);

    // The records and an ActionEnd. Throws Exception when a label was never bound or a
    // branch reaches further than its 16-bit offset can.
    Bytes finish() const;

private:
    void record(std::uint8_t code, const Bytes& payload);

    struct Branch {
        std::size_t end;  // the offset just after the branch record, where its offset counts from
        Label to;
    };
    Bytes code_;
    std::vector<std::size_t> labels_;  // bound offsets; npos until bound
    std::vector<Branch> branches_;
};

}  // namespace tarvenox
