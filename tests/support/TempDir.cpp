// A private temporary folder for one test.
#include "support/TempDir.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tarvenox::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "tarvenox-test.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TempDir::file(const std::string& name) const { return path_ + "/" + name; }

std::string TempDir::write(const std::string& name, const std::string& content) const {
    std::string target = file(name);
    fs::create_directories(fs::path(target).parent_path());
    std::ofstream(target, std::ios::binary) << content;
    return target;
}

std::string TempDir::write(const std::string& name, const Bytes& content) const {
    return write(name, std::string(content.begin(), content.end()));
}

Bytes readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

RunResult runTarvenox(const std::string& arguments, const std::string& workingDirectory) {
    TempDir capture;
    std::string command;
    if (!workingDirectory.empty()) command += "cd '" + workingDirectory + "' && ";
    command += std::string("'") + TARVENOX_BINARY + "' " + arguments + " >'" + capture.file("out") + "' 2>'" +
               capture.file("err") + "' </dev/null";
    int raw = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = readText(capture.file("out"));
    result.err = readText(capture.file("err"));
    return result;
}

}  // namespace tarvenox::test
