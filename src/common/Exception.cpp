// The program's own exceptions.
#include "common/Exception.h"

#include <utility>

namespace tarvenox {

Exception::Exception(std::string message, int line, std::string sourceFile)
    : message(std::move(message)), line(line), sourceFile(std::move(sourceFile)) {}

const char* Exception::what() const noexcept {
    if (whatText.empty()) {
        whatText = message + ", line: " + std::to_string(line) + ", file: " + sourceFile;
    }
    return whatText.c_str();
}

FileException::FileException(std::string message, std::string fileName, int line, std::string sourceFile)
    : Exception(std::move(message), line, std::move(sourceFile)), fileName(std::move(fileName)) {}

}  // namespace tarvenox
