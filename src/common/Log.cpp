// The diagnostic log.
#include "common/Log.h"

#include <cstdarg>

namespace tarvenox {

namespace {
std::FILE* currentStream = stdout;
bool streamChosen = false;
}  // namespace

void setLogStream(std::FILE* stream) {
    currentStream = stream;
    streamChosen = true;
}

std::FILE* logStream() { return streamChosen ? currentStream : stdout; }

void logPrint(const char* format, ...) {
    std::FILE* stream = logStream();
    if (stream == nullptr) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(stream, format, args);
    va_end(args);
    std::fflush(stream);
}

}  // namespace tarvenox
