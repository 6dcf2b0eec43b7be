// The opening of a catalogue text, up to where its last value goes: what a test compares
// a message's start with, in whichever language the run has.
#pragma once

#include <string>
#include <string_view>

#include "common/Texts.h"

namespace tarvenox::test {

inline std::string cutAtMark(std::string filled) { return filled.substr(0, filled.find('\x01')); }

inline std::string textOpening(std::string_view id) { return cutAtMark(text(id, {"\x01"})); }
inline std::string textOpening(std::string_view id, std::string_view first) {
    return cutAtMark(text(id, {first, "\x01"}));
}

}  // namespace tarvenox::test
