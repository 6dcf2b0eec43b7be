// The host's end of the bridge to the template movies of the page's preview.
#include "ui/web/PreviewBridge.h"

#include <algorithm>
#include <charconv>

#include "ui/web/FileRoot.h"

namespace tarvenox::web {

PreviewBridge::PreviewBridge(Clock::duration holdLimit, Clock::duration goneLimit)
    : holdLimit_(holdLimit), goneLimit_(goneLimit) {}

void PreviewBridge::load(const std::string& path,
                         const std::function<std::optional<Bytes>(std::uint64_t number)>& withClip) {
    // Only the host thread loads: the number stays free while the copy is made.
    std::uint64_t number = 0;
    {
        std::lock_guard lock(mutex_);
        number = lastMovie_ + 1;
    }
    std::optional<Bytes> movie = withClip(number);
    std::lock_guard lock(mutex_);
    const Clock::time_point now = Clock::now();
    if (!movie) {
        path_.clear();
        movie_.reset();
        forgetGone(now);
        return;
    }
    lastMovie_ = number;
    path_ = path;
    movie_ = std::make_shared<const Bytes>(std::move(*movie));
    // The movie replaced stays on screen until the new one is drawn: its quiet time
    // counts from now.
    if (!movies_.empty()) movies_.back().seen = now;
    movies_.push_back({number, now, {}, false});
    forgetGone(now);
}

void PreviewBridge::unload() {
    std::lock_guard lock(mutex_);
    path_.clear();
    movie_.reset();
}

void PreviewBridge::setVariable(const std::string& name, const std::string& value) {
    {
        std::lock_guard lock(mutex_);
        forgetGone(Clock::now());
        ++lastNumber_;
        for (Movie& movie : movies_) queueVariable(movie.variables, lastNumber_, name, value);
    }
    changed_.notify_all();
}

void PreviewBridge::close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

std::shared_ptr<const Bytes> PreviewBridge::movieFor(const std::string& path) const {
    std::lock_guard lock(mutex_);
    if (!movie_ || !sameFile(path, path_)) return nullptr;
    return movie_;
}

std::optional<std::string> PreviewBridge::poll(std::string_view movieNumber, std::string_view query) {
    std::uint64_t number = 0;
    auto [rest, error] = std::from_chars(movieNumber.data(), movieNumber.data() + movieNumber.size(), number);
    if (error != std::errc() || rest != movieNumber.data() + movieNumber.size()) return std::nullopt;
    const std::uint64_t after = pollAfter(query);

    std::unique_lock lock(mutex_);
    Movie* movie = find(number);
    if (!movie) return std::nullopt;
    movie->seen = Clock::now();
    auto answerReady = [&] {
        const Movie* now = find(number);
        return closed_ || !now ||
               std::any_of(now->variables.begin(), now->variables.end(),
                           [&](const QueuedVariable& v) { return v.number > after; });
    };
    if (!answerReady() && !movie->held && held_ < maxHeld) {
        movie->held = true;
        ++held_;
        changed_.wait_for(lock, holdLimit_, answerReady);
        --held_;
        if (Movie* still = find(number)) {
            still->held = false;
            still->seen = Clock::now();
        }
    }
    std::string out;
    if (const Movie* now = find(number)) {
        appendVariables(out, now->variables, after, lastNumber_);
    } else {
        appendVariables(out, {}, after, lastNumber_);
    }
    // Last, so the clip takes the answer only once every variable of it has arrived.
    out += "ready=1";
    return out;
}

void PreviewBridge::forgetGone(Clock::time_point now) {
    if (movies_.empty()) return;
    const std::uint64_t newest = movies_.back().number;
    // A movie with a poll held is not quiet.
    std::erase_if(movies_, [&](const Movie& movie) {
        return movie.number != newest && !movie.held && now - movie.seen > goneLimit_;
    });
}

PreviewBridge::Movie* PreviewBridge::find(std::uint64_t number) {
    auto found =
        std::find_if(movies_.begin(), movies_.end(), [&](const Movie& movie) { return movie.number == number; });
    return found == movies_.end() ? nullptr : &*found;
}

std::size_t PreviewBridge::heldPolls() const {
    std::lock_guard lock(mutex_);
    return held_;
}

}  // namespace tarvenox::web
