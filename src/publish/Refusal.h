// How saving and publishing refuse: one line that tells the user what went wrong.
#pragma once

#include <string>
#include <utility>

#include "common/Report.h"

namespace tarvenox {

// A failed Report with the one line as its message (shown as an error box by the
// interactive program, printed as it is by the command line).
inline Report failedWith(std::string line) {
    Report report;
    report.fail(std::move(line), MessageKind::Error);
    return report;
}

}  // namespace tarvenox
