// The answer to a bridge clip's poll.
#include "ui/web/PollAnswer.h"

#include <algorithm>
#include <charconv>

#include "common/PercentEncoding.h"

namespace tarvenox::web {

void queueVariable(std::vector<QueuedVariable>& queue, std::uint64_t number, const std::string& name,
                   const std::string& value) {
    std::erase_if(queue, [&](const QueuedVariable& variable) { return variable.name == name; });
    queue.push_back({number, name, value});
}

std::uint64_t pollAfter(std::string_view query) {
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

void appendVariables(std::string& out, const std::vector<QueuedVariable>& queue, std::uint64_t after,
                     std::uint64_t last) {
    int count = 0;
    for (const QueuedVariable& variable : queue) {
        if (variable.number <= after) continue;
        const std::string j = std::to_string(++count);
        appendPair(out, "s" + j, std::to_string(variable.number));
        appendPair(out, "k" + j, variable.name);
        appendPair(out, "v" + j, variable.value);
    }
    appendPair(out, "n", std::to_string(count));
    appendPair(out, "l", std::to_string(last));
}

}  // namespace tarvenox::web
