// The diagnostic log.
#include "common/Log.h"

#include <cstdarg>

#include "common/Report.h"

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

void logFailure(const Report& report) {
    if (!report.failed()) return;
    const std::string text = report.text();
    const std::string& reason = report.reason();
    logPrint("failed: %s%s%s\n", text.c_str(), !text.empty() && !reason.empty() ? ": " : "", reason.c_str());
}

}  // namespace tarvenox
