// Product file names.
#include "data/ProductNames.h"

#include "common/Cp1252.h"

namespace tarvenox {

namespace {
bool isSeparator(char c) { return c == '\\' || c == '/'; }
}  // namespace

std::string baseName(const std::string& name) {
    std::size_t last = name.find_last_of("\\/");
    return last == std::string::npos ? name : name.substr(last + 1);
}

std::string diskName(const std::string& name) {
    std::string path = cp1252ToUtf8(name);
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

bool isSafeProductName(const std::string& name) {
    if (name.empty() || isSeparator(name.front()) || isSeparator(name.back())) return false;
    if (name.find('\0') != std::string::npos) return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && !isSeparator(name[end])) ++end;
        std::string part = name.substr(start, end - start);
        if (part == "." || part == "..") return false;
        start = end + 1;
    }
    return true;
}

}  // namespace tarvenox

namespace tarvenox {

std::string withTrailingSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder.push_back('/');
    return folder;
}

}  // namespace tarvenox
