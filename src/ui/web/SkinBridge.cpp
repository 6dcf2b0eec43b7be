// The host's end of the bridge to the interface movie.
#include "ui/web/SkinBridge.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>

#include "common/Log.h"

namespace tarvenox::web {
namespace {

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return a == b || std::filesystem::equivalent(a, b, error);
}

// The number of the parameter "after" in the query; 0 when it has none.
std::uint64_t afterIn(std::string_view query) {
    while (!query.empty()) {
        const std::size_t end = query.find('&');
        std::string_view pair = query.substr(0, end);
        if (pair.starts_with("after=")) {
            pair.remove_prefix(6);
            std::uint64_t number = 0;
            auto [rest, error] = std::from_chars(pair.data(), pair.data() + pair.size(), number);
            if (error == std::errc() && rest == pair.data() + pair.size()) return number;
            return 0;
        }
        if (end == std::string_view::npos) break;
        query.remove_prefix(end + 1);
    }
    return 0;
}

void appendPair(std::string& out, std::string_view name, std::string_view value) {
    out += name;
    out += '=';
    out += percentEncoded(value);
    out += '&';
}

}  // namespace

std::string percentEncoded(std::string_view text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 && byte < 0x80) {
            out += c;
        } else if (c == '-' || c == '_' || c == '.' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0x0F];
        }
    }
    return out;
}

SkinBridge::SkinBridge(Clock::duration quietLimit, Clock::duration overallLimit)
    : quietLimit_(quietLimit), overallLimit_(overallLimit) {}

void SkinBridge::load(const std::string& path, Bytes movie) {
    std::lock_guard lock(mutex_);
    path_ = path;
    movie_ = std::make_shared<const Bytes>(std::move(movie));
    variables_.clear();
}

void SkinBridge::unload() {
    std::lock_guard lock(mutex_);
    path_.clear();
    movie_.reset();
    variables_.clear();
}

bool SkinBridge::active() const {
    std::lock_guard lock(mutex_);
    return movie_ != nullptr;
}

void SkinBridge::setVariable(const std::string& name, const std::string& value) {
    std::lock_guard lock(mutex_);
    std::erase_if(variables_, [&](const Variable& variable) { return variable.name == name; });
    variables_.push_back({++lastNumber_, name, value});
}

void SkinBridge::keepVariable(const std::string& name, const std::string& value) {
    std::lock_guard lock(mutex_);
    auto kept = std::find_if(variables_.begin(), variables_.end(), [&](const Variable& v) { return v.name == name; });
    if (kept != variables_.end()) {
        kept->value = value;
        return;
    }
    // Numbered as the newest the movie has: a poll after it brings nothing, one from a
    // movie that starts anew brings it.
    variables_.push_back({lastNumber_, name, value});
}

std::vector<std::optional<std::string>> SkinBridge::getVariables(const std::vector<std::string>& names) {
    std::unique_lock lock(mutex_);
    std::vector<std::uint64_t> ids;
    for (const std::string& name : names) {
        ids.push_back(++lastRead_);
        reads_[lastRead_] = Read{name, std::nullopt};
    }
    auto allAnswered = [&] {
        return std::all_of(ids.begin(), ids.end(), [&](std::uint64_t id) { return reads_[id].value.has_value(); });
    };
    const Clock::time_point asked = Clock::now();
    const Clock::time_point end = asked + overallLimit_;
    while (!allAnswered()) {
        const Clock::time_point quietEnd = std::max(asked, lastPoll_) + quietLimit_;
        const Clock::time_point until = std::min(end, quietEnd);
        if (Clock::now() >= until) break;
        answered_.wait_until(lock, until);
    }
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked).count();
    std::vector<std::optional<std::string>> values;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        auto read = reads_.extract(ids[i]);
        if (!read.mapped().value) {
            logPrint("GetVariable(%s): the interface movie did not answer within %lld ms\n", names[i].c_str(),
                     static_cast<long long>(waited));
        }
        values.push_back(std::move(read.mapped().value));
    }
    return values;
}

std::shared_ptr<const Bytes> SkinBridge::movieFor(const std::string& path) const {
    std::lock_guard lock(mutex_);
    if (!movie_ || !sameFile(path, path_)) return nullptr;
    return movie_;
}

std::string SkinBridge::poll(std::string_view query) const {
    const std::uint64_t after = afterIn(query);
    std::lock_guard lock(mutex_);
    // The movie is alive: the reads waiting wait on.
    lastPoll_ = Clock::now();
    answered_.notify_all();
    std::string out;
    int count = 0;
    for (const Variable& variable : variables_) {
        if (variable.number <= after) continue;
        const std::string j = std::to_string(++count);
        appendPair(out, "s" + j, std::to_string(variable.number));
        appendPair(out, "k" + j, variable.name);
        appendPair(out, "v" + j, variable.value);
    }
    appendPair(out, "n", std::to_string(count));
    appendPair(out, "l", std::to_string(lastNumber_));
    int reads = 0;
    for (const auto& [id, read] : reads_) {
        if (read.value) continue;
        const std::string j = std::to_string(++reads);
        appendPair(out, "i" + j, std::to_string(id));
        appendPair(out, "r" + j, read.name);
    }
    appendPair(out, "rn", std::to_string(reads));
    // Last, so the clip takes the answer only once every variable of it has arrived.
    out += "ready=1";
    return out;
}

bool SkinBridge::answer(std::string_view args) {
    const std::size_t colon = args.find(':');
    if (colon == std::string_view::npos) return false;
    std::uint64_t id = 0;
    auto [rest, error] = std::from_chars(args.data(), args.data() + colon, id);
    if (error != std::errc() || rest != args.data() + colon) return false;
    {
        std::lock_guard lock(mutex_);
        auto read = reads_.find(id);
        if (read == reads_.end()) return false;
        if (!read->second.value) read->second.value = std::string(args.substr(colon + 1));
    }
    answered_.notify_all();
    return true;
}

}  // namespace tarvenox::web
