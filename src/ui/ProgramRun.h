// Starting a program file of an optical medium (an installer, a presentation) and waiting
// for it to end.
#pragma once

#include <string>

namespace tarvenox {

// Runs the file itself with no arguments (its argv is just its path): no shell reads the
// path, so blanks, ";" or "$" in it are only characters. Waits until the program ends.
// A program that cannot start (missing, not executable, not a format the kernel runs) is
// logged, and the call returns.
void runProgramAndWait(const std::string& path);

}  // namespace tarvenox
