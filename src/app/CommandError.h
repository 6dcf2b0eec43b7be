// A command-line failure: reported as one line on stderr, exit status 1.
#pragma once

#include <stdexcept>
#include <string>

#include "common/Result.h"

namespace tarvenox {

class CommandError : public std::runtime_error {
public:
    explicit CommandError(const std::string& message) : std::runtime_error(message) {}
};

// The line a failed report is told in: its messages on one line (Report::text), else its
// technical reason.
inline std::string failureLine(const Report& report) {
    return report.messages().empty() ? report.reason() : report.text();
}

// The command's failure when the report failed.
inline void throwIfFailed(const Report& report) {
    if (report.failed()) throw CommandError(failureLine(report));
}

// The value made, or the command's failure.
template <class T>
T valueOrThrow(Result<T> result) {
    throwIfFailed(result.report());
    return result.take();
}

}  // namespace tarvenox
