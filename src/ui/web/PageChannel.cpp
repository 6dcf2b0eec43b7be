// The host's end of the page's WebSocket.
#include "ui/web/PageChannel.h"

#include <cstdio>
#include <stdexcept>
#include <utility>

namespace tarvenox::web {
namespace {

// A page that floods the host with events is cut off here instead of growing the queue
// without end; a working page never has more than a handful waiting.
constexpr std::size_t maxQueuedEvents = 4096;

Message channelEvent(std::string_view type) { return Message{{"type", type}}; }

}  // namespace

PageChannel::PageChannel() : absentSince_(Clock::now()) {}

bool PageChannel::sendOn(PageLink& link, const Message& message) {
    // A text with bytes that are not UTF-8 (a file name on disk may hold any) is sent with
    // U+FFFD in their place rather than throwing on the host thread.
    return link.send(message.dump(-1, ' ', false, Message::error_handler_t::replace));
}

bool PageChannel::send(const Message& event) {
    std::shared_ptr<PageLink> page;
    {
        std::lock_guard lock(mutex_);
        page = page_;
    }
    return page && sendOn(*page, event);
}

std::optional<Message> PageChannel::takeRequest() {
    for (auto it = inbox_.begin(); it != inbox_.end(); ++it) {
        if (it->contains("id")) {
            Message request = std::move(*it);
            inbox_.erase(it);
            return request;
        }
    }
    return std::nullopt;
}

void PageChannel::answer(std::unique_lock<std::mutex>& lock, const Message& request) {
    std::string type = request["type"];
    auto responder = responders_.find(type);
    std::shared_ptr<PageLink> page = page_;
    lock.unlock();
    Message reply{{"type", "reply"}, {"id", request["id"]}};
    if (responder == responders_.end()) {
        reply["error"] = "unknown request: " + type;
    } else {
        try {
            reply["result"] = responder->second(request);
        } catch (const std::exception& error) {
            reply["error"] = error.what();
        }
    }
    if (page) sendOn(*page, reply);
    lock.lock();
}

template <typename Done>
bool PageChannel::waitServing(std::unique_lock<std::mutex>& lock, std::optional<Clock::time_point> deadline,
                              Done done) {
    // A request that arrives as the deadline passes is still answered before the wait
    // ends: left in the inbox, nextEvent would take it for an event and drop it, and the
    // page would wait for its reply for ever.
    bool timedOut = false;
    while (true) {
        if (auto request = takeRequest()) {
            answer(lock, *request);
            continue;
        }
        if (done()) return true;
        if (timedOut) return false;
        if (!deadline) {
            changed_.wait(lock);
        } else {
            timedOut = changed_.wait_until(lock, *deadline) == std::cv_status::timeout;
        }
    }
}

std::optional<Message> PageChannel::call(Message request, std::optional<Clock::duration> timeout) {
    if (!request.is_object() || !request.contains("type")) {
        throw std::invalid_argument("a call to the page needs a message object with a type");
    }
    std::unique_lock lock(mutex_);
    if (waitingFor_ != 0) throw std::logic_error("a call to the page is already waiting for its answer");
    if (!page_ || shutDown_) return std::nullopt;
    std::shared_ptr<PageLink> page = page_;
    std::uint64_t generation = generation_;
    request["id"] = waitingFor_ = ++nextCallId_;
    reply_.reset();
    struct Finish {
        PageChannel& channel;
        ~Finish() {
            channel.waitingFor_ = 0;
            channel.reply_.reset();
        }
    } finish{*this};

    lock.unlock();
    bool sent = sendOn(*page, request);
    lock.lock();
    if (!sent) return std::nullopt;

    std::optional<Clock::time_point> deadline;
    if (timeout) deadline = Clock::now() + *timeout;
    waitServing(lock, deadline, [&] { return reply_.has_value() || generation_ != generation || shutDown_; });
    if (!reply_ || shutDown_) return std::nullopt;
    return reply_->contains("result") ? (*reply_)["result"] : Message();
}

std::optional<Message> PageChannel::nextEvent(Clock::duration timeout) {
    std::unique_lock lock(mutex_);
    waitServing(lock, Clock::now() + timeout, [&] { return !inbox_.empty() || shutDown_; });
    if (inbox_.empty() || shutDown_) return std::nullopt;
    Message event = std::move(inbox_.front());
    inbox_.pop_front();
    return event;
}

bool PageChannel::waitForPage(std::optional<Clock::duration> limit, std::uint64_t after) {
    std::unique_lock lock(mutex_);
    std::optional<Clock::time_point> deadline;
    if (limit) deadline = Clock::now() + *limit;
    auto arrived = [&] { return page_ && pages_ > after; };
    waitServing(lock, deadline, [&] { return arrived() || shutDown_; });
    return arrived() && !shutDown_;
}

void PageChannel::setResponder(std::string type, Responder responder) {
    std::lock_guard lock(mutex_);
    responders_[std::move(type)] = std::move(responder);
}

PageChannel::Clock::duration PageChannel::pageAbsentFor() const {
    std::lock_guard lock(mutex_);
    return page_ ? Clock::duration::zero() : Clock::now() - absentSince_;
}

bool PageChannel::connected() const {
    std::lock_guard lock(mutex_);
    return page_ != nullptr;
}

std::uint64_t PageChannel::currentPage() const {
    std::lock_guard lock(mutex_);
    return page_ ? pages_ : 0;
}

void PageChannel::post(Message event) {
    std::lock_guard lock(mutex_);
    inbox_.push_back(std::move(event));
    changed_.notify_all();
}

void PageChannel::shutDown() {
    std::lock_guard lock(mutex_);
    shutDown_ = true;
    changed_.notify_all();
}

bool PageChannel::isShutDown() const {
    std::lock_guard lock(mutex_);
    return shutDown_;
}

void PageChannel::attach(std::shared_ptr<PageLink> link) {
    std::shared_ptr<PageLink> replaced;
    {
        std::lock_guard lock(mutex_);
        replaced = std::exchange(page_, std::move(link));
        ++generation_;
        ++pages_;
        inbox_.push_back(channelEvent(pageConnected));
        changed_.notify_all();
    }
    if (replaced) replaced->close(replacedCloseCode, "replaced by a newer page");
}

void PageChannel::receive(const PageLink* link, std::string_view text) {
    Message message = Message::parse(text, nullptr, /*allow_exceptions=*/false);
    if (message.is_discarded() || !message.is_object() || !message.contains("type") || !message["type"].is_string()) {
        std::fprintf(stderr, "page: ignored a message that is not a JSON object with a type\n");
        return;
    }
    const std::string& type = message["type"].get_ref<const std::string&>();
    std::unique_lock lock(mutex_);
    if (link != page_.get()) return;  // a replaced page's last words
    if (eventTaker_ && type != "reply") {
        EventTaker taker = eventTaker_;
        lock.unlock();
        if (taker(message)) return;
        lock.lock();
        if (link != page_.get()) return;
    }
    if (type == "reply") {
        const Message& id = message.contains("id") ? message["id"] : Message();
        if (waitingFor_ != 0 && id.is_number_integer() && id.get<std::int64_t>() == waitingFor_ && !reply_) {
            reply_ = std::move(message);
            changed_.notify_all();
        }
        return;
    }
    if (type == pageConnected || type == pageGone) return;  // only the channel tells these
    if (inbox_.size() >= maxQueuedEvents) {
        std::fprintf(stderr, "page: dropped a \"%s\" message, %zu are waiting already\n", type.c_str(), inbox_.size());
        return;
    }
    inbox_.push_back(std::move(message));
    changed_.notify_all();
}

void PageChannel::setEventTaker(EventTaker taker) {
    std::lock_guard lock(mutex_);
    eventTaker_ = std::move(taker);
}

void PageChannel::detach(const PageLink* link) {
    std::lock_guard lock(mutex_);
    if (link != page_.get()) return;
    page_.reset();
    ++generation_;
    absentSince_ = Clock::now();
    inbox_.push_back(channelEvent(pageGone));
    changed_.notify_all();
}

}  // namespace tarvenox::web
