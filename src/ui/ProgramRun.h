// Starting a program file of an optical medium (an installer, a presentation) and waiting
// for it to end.
#pragma once

#include <string>

namespace tarvenox {

// A program file looked for below a folder (a CD's root): its real path, every symbolic
// link, "." and ".." resolved. Only a regular file whose real path lies inside the
// folder's real path is found; a path that leads out of it ("..", a link) is refused.
struct ProgramLookup {
    enum class Outcome { found, missing, refused };
    Outcome outcome = Outcome::missing;
    std::string path;  // the real path: the program to run, or where a refused one leads
};
// folder + relative; an empty folder is the current directory.
ProgramLookup findProgramInside(const std::string& folder, const std::string& relative);

// Runs the file itself with no arguments (its argv is just its path): no shell reads the
// path, so blanks, ";" or "$" in it are only characters. Waits until the program ends.
// A program that cannot start (missing, not executable, not a format the kernel runs) is
// logged, and the call returns.
void runProgramAndWait(const std::string& path);

}  // namespace tarvenox
