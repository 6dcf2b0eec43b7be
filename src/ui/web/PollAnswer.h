// The answer to a bridge clip's poll (BridgeSprite): the variables the host queued for a
// movie, numbered in the order set, as URL-encoded variables for loadVariables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvenox::web {

struct QueuedVariable {
    std::uint64_t number;
    std::string name;
    std::string value;
};

// Queues the variable under number; a name set again moves to the end with its new value,
// so a movie that starts anew is given the latest value of every name, in the order they
// were last set.
void queueVariable(std::vector<QueuedVariable>& queue, std::uint64_t number, const std::string& name,
                   const std::string& value);

// The number of the parameter "after" in a poll's query; 0 when it has none.
std::uint64_t pollAfter(std::string_view query);

// "NAME=VALUE&", the value percent-encoded.
void appendPair(std::string& out, std::string_view name, std::string_view value);

// The variables of the queue numbered above after ("s1", "k1", "v1", ...), their count
// "n" and the number "l" the movie has everything up to once it has taken them.
void appendVariables(std::string& out, const std::vector<QueuedVariable>& queue, std::uint64_t after,
                     std::uint64_t last);

}  // namespace tarvenox::web
