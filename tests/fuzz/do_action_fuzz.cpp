// Reads arbitrary bytes as a DoAction body and sets the variable "a" where it is assigned.
#include <cstdint>

#include "common/Exception.h"
#include "swf/ActionRecords.h"
#include "swf/SWFDoAction.h"
#include "swf/SWFType.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvenox;
    const Bytes body(data, data + size);
    SWFDoAction doAction(TagCode::DoAction, body);
    const SWFStringType variable("a", "a longer value than most");
    bool changed = false;
    try {
        changed = doAction.assignInPlace(variable, MovieTextEncoding::Utf8);
    } catch (const Exception&) {
    }
    const ByteSpan after = doAction.body();
    if (!changed) {
        // Refused or not assigned: the body is as it was.
        if (!std::equal(after.begin(), after.end(), body.begin(), body.end())) __builtin_trap();
        return 0;
    }
    // Only one record changed: the new body walks to as many records as the old one.
    const auto before = readActionRecords(body);
    const auto again = readActionRecords(after);
    if (!before || !again || before->size() != again->size()) __builtin_trap();
    return 0;
}
