// The host's end of the page's WebSocket: JSON messages both ways, calls that block the
// host's thread until the page answers, and the page's events in the order they came.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "ui/web/PageLink.h"

namespace tarvenox::web {

using Message = nlohmann::json;

// Thread model: the host's logic runs on one thread (the "host thread"), which alone
// calls send, call, nextEvent, waitForPage and setResponder. The server's threads only
// hand over what arrives (attach, receive, detach); they never run host logic. post and
// shutDown may be called from any thread (not from a signal handler: they take a lock).
//
// One page at a time: a new connection replaces the current one, which is closed with
// code 4001 (a reload, or the address opened in a second tab, takes over the program).
class PageChannel {
public:
    using Clock = std::chrono::steady_clock;
    using Responder = std::function<Message(const Message& request)>;
    using EventTaker = std::function<bool(const Message& event)>;

    // The events the channel itself puts into the event stream.
    static constexpr std::string_view pageConnected = "pageConnected";
    static constexpr std::string_view pageGone = "pageGone";
    static constexpr int replacedCloseCode = 4001;

    PageChannel();

    // -- host thread --

    // Sends a message that needs no answer. False when no page is connected (the message
    // is dropped: a page that connects later is brought up to date by the host on
    // pageConnected).
    bool send(const Message& event);

    // Sends a request with a fresh "id" and waits for the page's reply with that id;
    // returns the reply's "result" (null when it has none). nullopt ("cancelled") when
    // no page is connected, the page disconnects or is replaced before it answers, or the
    // timeout (if any) runs out. Events arriving meanwhile are queued for nextEvent, in
    // order; requests of the page that have a responder are answered meanwhile.
    std::optional<Message> call(Message request, std::optional<Clock::duration> timeout = std::nullopt);

    // The next event: from the page, or pageConnected / pageGone, or one posted. nullopt
    // when none came within the timeout, and at once after shutDown.
    std::optional<Message> nextEvent(Clock::duration timeout);

    // Waits until a page numbered above `after` (see currentPage) is connected: true then;
    // false when the limit (if any) passes first or after shutDown. Leaves the event
    // stream as it is: the page's pageConnected still comes through nextEvent.
    bool waitForPage(std::optional<Clock::duration> limit, std::uint64_t after = 0);

    // Requests of the page with this "type" and an "id" are answered on the host thread
    // by the responder, also while the host waits in call (the open dialog's folder
    // listing must go on while the host waits for the dialog's answer). A responder
    // answers from the file system or fixed data; it must not call the page.
    void setResponder(std::string type, Responder responder);

    // How long no page has been connected (zero while one is): since the channel was
    // made, or since the last page went.
    Clock::duration pageAbsentFor() const;
    bool connected() const;
    // The number of the connected page, counting every connection from 1 (a reload is a
    // new number); 0 while none is connected. Tells the host whether the page it brought
    // up to date is still the one it talks to.
    std::uint64_t currentPage() const;

    // -- any thread --

    // Puts an event into the stream as if it had come from the page (a signal watcher
    // wakes the host's loop this way).
    void post(Message event);

    // The host is ending: the call waiting now and every later call are cancelled at once,
    // and nextEvent and waitForPage stop waiting, so a signal ends the program even while
    // a dialog is open. send still works (the host tells the page it quits).
    void shutDown();
    bool isShutDown() const;

    // The taker sees every message of the page but the replies, on the server's thread,
    // as it arrives; what it takes (returns true for) does not enter the event stream.
    // For answers that a host thread waiting elsewhere needs while it cannot read the
    // stream. It must neither block nor call the page.
    void setEventTaker(EventTaker taker);

    // -- server threads --

    void attach(std::shared_ptr<PageLink> link);
    void receive(const PageLink* link, std::string_view text);
    void detach(const PageLink* link);

private:
    bool sendOn(PageLink& link, const Message& message);
    // Takes the first queued page request that has a responder; the lock is held.
    std::optional<Message> takeRequest();
    void answer(std::unique_lock<std::mutex>& lock, const Message& request);
    // Waits until an event or the predicate, answering page requests meanwhile.
    template <typename Done>
    bool waitServing(std::unique_lock<std::mutex>& lock, std::optional<Clock::time_point> deadline, Done done);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::shared_ptr<PageLink> page_;
    std::uint64_t generation_ = 0;  // counts connections and disconnections
    std::uint64_t pages_ = 0;       // counts connections: the newest page's number
    bool shutDown_ = false;
    Clock::time_point absentSince_;
    std::deque<Message> inbox_;  // events and page requests, in arrival order
    std::int64_t nextCallId_ = 0;
    std::int64_t waitingFor_ = 0;  // the id of the call in progress, 0 for none
    std::optional<Message> reply_;
    std::map<std::string, Responder, std::less<>> responders_;
    EventTaker eventTaker_;
};

}  // namespace tarvenox::web
