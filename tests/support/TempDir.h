// A private temporary folder for one test, removed with everything in it.
#pragma once

#include <string>

#include "common/Bytes.h"

namespace tarvenox::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, without a trailing slash.
    const std::string& path() const { return path_; }
    // path() + "/" + name.
    std::string file(const std::string& name) const;
    // Writes a file (creating its folders) and returns its path.
    std::string write(const std::string& name, const std::string& content) const;
    std::string write(const std::string& name, const Bytes& content) const;

private:
    std::string path_;
};

// The whole file as bytes; empty when it cannot be read.
Bytes readBytes(const std::string& path);
std::string readText(const std::string& path);

// Runs the tarvenox program with the arguments (shell-quoted here), capturing stdout
// and stderr. Returns the exit status.
struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};
RunResult runTarvenox(const std::string& arguments, const std::string& workingDirectory = "");

}  // namespace tarvenox::test
