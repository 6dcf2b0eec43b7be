// The installation values.
#include "app/Registry.h"

#include <charconv>
#include <cstdlib>

#include "common/WholeFile.h"

namespace tarvenox {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

Registry::Registry(const std::string& path) {
    if (path.empty()) return;
    std::string content = readWholeFile(path);
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.front() == '#') continue;
        std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        values_[line.substr(0, equals)] = line.substr(equals + 1);
    }
}

std::string Registry::defaultPath() {
    if (std::string path = environment("TARVENOX_REGISTRY"); !path.empty()) return path;
    if (std::string config = environment("XDG_CONFIG_HOME"); !config.empty()) {
        return config + "/tarvenox/registry";
    }
    if (std::string home = environment("HOME"); !home.empty()) {
        return home + "/.config/tarvenox/registry";
    }
    return {};
}

std::optional<std::string> Registry::text(const std::string& name) const {
    auto found = values_.find(name);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

std::optional<std::uint32_t> Registry::number(const std::string& name) const {
    auto value = text(name);
    if (!value || value->empty()) return std::nullopt;
    std::uint32_t result = 0;
    const char* first = value->data();
    const char* last = first + value->size();
    auto [end, error] = std::from_chars(first, last, result, 10);
    if (error != std::errc() || end != last) return std::nullopt;
    return result;
}

}  // namespace tarvenox
