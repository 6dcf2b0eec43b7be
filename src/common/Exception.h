// The program's own exceptions: a message for the user plus where it was thrown.
#pragma once

#include <exception>
#include <string>

namespace tarvenox {

class Exception : public std::exception {
public:
    Exception(std::string message, int line, std::string sourceFile);
    ~Exception() override = default;

    // "message, line: N, file: source". Composed on the first call and kept, so
    // the text stays valid as long as the object and copies carry it along.
    const char* what() const noexcept override;

    // The message alone: what the user is shown.
    std::string getMessage() const { return message; }

private:
    std::string message;
    mutable std::string whatText;
    int line;
    std::string sourceFile;
};

class FileException : public Exception {
public:
    FileException(std::string message, std::string fileName, int line, std::string sourceFile);

    const std::string& getFileName() const { return fileName; }

private:
    std::string fileName;
};

}  // namespace tarvenox
