// What an engine operation tells about its outcome: the engine's one error convention.
//
// An operation that can fail for a reason the user can fix (a file that cannot be used,
// a movie that cannot be read, a value that cannot be written) returns a Report instead
// of showing anything. Its messages are the product's own texts for the user, each with
// the kind of box the interactive program shows it in; failed() says the operation did
// not do what was asked and left what it works on as it was. A message of a Report that
// did not fail tells of something the operation went on after (a face that could not be
// created, an outline record it skipped). The front ends decide how to show a Report:
// the interactive program in message boxes, the command line in one line on standard
// error. The engine's checks that the product defines as throwing (the JPEG check's
// FileException, a variable that cannot be encoded) are caught where the operation that
// runs them builds its Report.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "common/Messages.h"

namespace tarvenox {

struct UserMessage {
    std::string text;  // UTF-8, or Windows-1252 for a product name (see showMessage)
    MessageKind kind = MessageKind::Information;
    bool operator==(const UserMessage&) const = default;
};

class [[nodiscard]] Report {
public:
    // Something the user should know; the operation went on.
    void note(std::string text, MessageKind kind) { messages_.push_back({std::move(text), kind}); }
    // The operation did not do what was asked.
    void fail(std::string text, MessageKind kind = MessageKind::Information) {
        failed_ = true;
        note(std::move(text), kind);
    }
    // Takes over another report's messages and failure.
    void add(const Report& other) {
        failed_ = failed_ || other.failed_;
        messages_.insert(messages_.end(), other.messages_.begin(), other.messages_.end());
    }

    bool failed() const { return failed_; }
    const std::vector<UserMessage>& messages() const { return messages_; }
    // Every message's text, joined by "; " on one line.
    std::string text() const {
        std::string joined;
        for (const auto& message : messages_) {
            std::string line = message.text;
            for (char& c : line) c = c == '\n' ? ' ' : c;
            joined += (joined.empty() ? "" : "; ") + line;
        }
        return joined;
    }

private:
    bool failed_ = false;
    std::vector<UserMessage> messages_;
};

}  // namespace tarvenox
