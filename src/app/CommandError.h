// A command-line failure: reported as one line on stderr, exit status 1.
#pragma once

#include <stdexcept>
#include <string>

namespace tarvenox {

class CommandError : public std::runtime_error {
public:
    explicit CommandError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace tarvenox
