// The host's end of the bridge to the template movies that play in the page's preview:
// the copy of the working copy with a polling clip that only sets variables (BridgeSprite),
// and what the host sets for each movie still playing, so that a typed text shows in the
// preview at once while the rebuilt movie loads. Texts are UTF-8.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Bytes.h"
#include "ui/web/PollAnswer.h"

namespace tarvenox::web {

// Thread model: the host thread loads movies and sets variables; the templates' server's
// threads serve the newest movie and answer the polls. Every call takes the lock.
//
// Each movie loaded gets a number and a poll address of its own. The page keeps the movie
// it replaces playing until the new one is drawn, so a variable set goes to every movie
// still polling, and a movie keeps its polls answered until it has been quiet for the gone
// limit (the page has moved on). A new movie is built with every value the host has: its
// queue starts empty, and it is given only what is set after it was built.
//
// A poll that finds nothing new is held until something is set for its movie, up to the
// hold limit, so the text reaches the movie within a frame of being set rather than at
// its next poll. Each movie has at most one poll held, and the bridge at most maxHeld in
// all (the rest are answered at once): the server's threads are few, and any movie (any
// template) may poll any address. close() answers the held polls at once and holds none
// after it, so the server stops without waiting for them.
class PreviewBridge {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::size_t maxHeld = 4;

    explicit PreviewBridge(Clock::duration holdLimit = std::chrono::milliseconds(500),
                           Clock::duration goneLimit = std::chrono::seconds(5));
    PreviewBridge(const PreviewBridge&) = delete;
    PreviewBridge& operator=(const PreviewBridge&) = delete;

    // -- host thread --

    // From now on the file at path is served as the movie that withClip makes of it, given
    // the new movie's number (for its poll address); nullopt from withClip: the file is
    // served as it is. The movies loaded before go on being answered while they poll.
    void load(const std::string& path, const std::function<std::optional<Bytes>(std::uint64_t number)>& withClip);
    // No file is served bridged (the player plays nothing, or a movie that cannot be).
    void unload();

    // Queued for every movie still playing, in the order set; a name set again moves to
    // the end with its new value.
    void setVariable(const std::string& name, const std::string& value);

    // Answers every held poll now and holds none from now on.
    void close();

    // -- server threads --

    // The movie to serve for the file at path, or nullptr when it is not the one bridged.
    std::shared_ptr<const Bytes> movieFor(const std::string& path) const;
    // The answer to the poll of the movie numbered in path ("7"), as URL-encoded variables
    // for loadVariables: the variables queued for it numbered above "after" in the query.
    // nullopt for a movie the bridge does not know (any more).
    std::optional<std::string> poll(std::string_view movieNumber, std::string_view query);
    // How many polls are held now.
    std::size_t heldPolls() const;

private:
    struct Movie {
        std::uint64_t number = 0;
        Clock::time_point seen{};  // its last poll, or when it was loaded
        std::vector<QueuedVariable> variables;
        bool held = false;
    };

    // Drops the movies before the newest that have been quiet for the gone limit.
    void forgetGone(Clock::time_point now);
    Movie* find(std::uint64_t number);

    Clock::duration holdLimit_;
    Clock::duration goneLimit_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;  // something set, or closed
    std::string path_;
    std::shared_ptr<const Bytes> movie_;
    std::vector<Movie> movies_;  // oldest first; the last is the newest
    std::uint64_t lastMovie_ = 0;
    std::uint64_t lastNumber_ = 0;
    std::size_t held_ = 0;
    bool closed_ = false;
};

}  // namespace tarvenox::web
