// The host's end of the bridge to the interface movie in the page's player: the copy of
// the movie with the polling clip (BridgeSprite), the variables the host has set, and
// the reads it waits for. Texts are UTF-8.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Bytes.h"
#include "ui/web/PollAnswer.h"

namespace tarvenox::web {

// Thread model: the host thread loads movies, sets and reads; the server's threads serve
// the movie and the polls and hand over the movie's answers. Every call takes the lock.
class SkinBridge {
public:
    using Clock = std::chrono::steady_clock;

    // A read waits for the movie's answer as long as the movie keeps polling: it gives up
    // when no poll has come for quietLimit, or after overallLimit in all. A movie slowed
    // down by a busy machine polls seldom but still answers; one that has stopped (its
    // page went away) is given up soon.
    explicit SkinBridge(Clock::duration quietLimit = std::chrono::seconds(3),
                        Clock::duration overallLimit = std::chrono::seconds(15));

    // -- host thread --

    // From now on the file at path is served as movie (the copy with the clip), and the
    // variables set are for that movie: those set for an earlier one are forgotten.
    void load(const std::string& path, Bytes movie);
    // No movie is bridged (the player shows another movie, or none).
    void unload();
    bool active() const;

    // Queued for the movie's next poll, in the order set. A name set again moves to the
    // end with its new value: a movie that starts anew (a page reload) is given the
    // latest value of every name, in the order they were last set.
    void setVariable(const std::string& name, const std::string& value);
    // The movie holds the value already (the user typed it): it becomes the name's value
    // for a movie that starts anew, without being sent to the one playing (which would
    // overwrite what the user types meanwhile). The name keeps its place in the order.
    void keepVariable(const std::string& name, const std::string& value);
    // The values of the names, asked for in every poll until the movie has answered them
    // all (a poll that goes by without the answer asks again), or the limits have passed.
    // nullopt for a name not answered (the movie has stopped polling, or is far too slow).
    std::vector<std::optional<std::string>> getVariables(const std::vector<std::string>& names);

    // -- server threads --

    // The movie to serve for the file at path, or nullptr when it is not the one bridged.
    std::shared_ptr<const Bytes> movieFor(const std::string& path) const;
    // The answer to a poll, as URL-encoded variables for loadVariables (see
    // BridgeSprite.h): the variables numbered above "after" in the query, and the reads
    // waiting.
    std::string poll(std::string_view query) const;
    // The movie's answer to a read, "ID:VALUE". False for anything else.
    bool answer(std::string_view args);

private:
    struct Read {
        std::string name;
        std::optional<std::string> value;
    };

    Clock::duration quietLimit_;
    Clock::duration overallLimit_;
    mutable std::mutex mutex_;
    mutable std::condition_variable answered_;  // an answer, or a poll
    mutable Clock::time_point lastPoll_{};
    std::string path_;
    std::shared_ptr<const Bytes> movie_;
    std::vector<QueuedVariable> variables_;  // by number
    std::uint64_t lastNumber_ = 0;
    std::map<std::uint64_t, Read> reads_;
    std::uint64_t lastRead_ = 0;
};

}  // namespace tarvenox::web
