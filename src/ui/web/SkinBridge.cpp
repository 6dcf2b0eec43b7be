// The host's end of the bridge to the interface movie.
#include "ui/web/SkinBridge.h"

#include <algorithm>
#include <charconv>

#include "common/Log.h"
#include "ui/web/FileRoot.h"

namespace tarvenox::web {

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
    queueVariable(variables_, ++lastNumber_, name, value);
}

void SkinBridge::keepVariable(const std::string& name, const std::string& value) {
    std::lock_guard lock(mutex_);
    auto kept =
        std::find_if(variables_.begin(), variables_.end(), [&](const QueuedVariable& v) { return v.name == name; });
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
    const std::uint64_t after = pollAfter(query);
    std::lock_guard lock(mutex_);
    // The movie is alive: the reads waiting wait on.
    lastPoll_ = Clock::now();
    answered_.notify_all();
    std::string out;
    appendVariables(out, variables_, after, lastNumber_);
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
