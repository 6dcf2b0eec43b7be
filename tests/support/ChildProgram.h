// The tarvenox program running beside a test: started with arguments and environment,
// its first line of standard output read, its end awaited or forced.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tarvenox::test {

class ChildProgram {
public:
    // Starts TARVENOX_BINARY with the arguments in the folder, with the environment
    // variables ("NAME=value") added; standard error goes to the file errPath.
    ChildProgram(const std::vector<std::string>& arguments, const std::string& folder,
                 const std::vector<std::string>& environment, const std::string& errPath);
    // Kills the program if it still runs.
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    // The next line of its standard output; nullopt at its end or after the timeout.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Its exit status (128 + the signal when a signal ended it); nullopt when it still
    // runs after the timeout.
    std::optional<int> wait(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    void signal(int sig);

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string buffer_;
    std::optional<int> status_;
};

}  // namespace tarvenox::test
