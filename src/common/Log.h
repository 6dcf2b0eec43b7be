// The diagnostic log: printf-style lines for developers, on standard output.
#pragma once

#include <cstdio>

namespace tarvenox {

// Prints the format string with its arguments to the log stream. A line ends only
// where the format has "\n". Nothing in the program depends on what is logged.
void logPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));

class Report;
// Logs a failed report's reason (and its messages); for a failure the program goes on
// after, such as a copy into the working folder that a later look-up will miss.
void logFailure(const Report& report);

// Where the log goes: standard output by default, nullptr to keep it quiet
// (the command line does so when its own output must stay machine-readable).
void setLogStream(std::FILE* stream);
std::FILE* logStream();

}  // namespace tarvenox
