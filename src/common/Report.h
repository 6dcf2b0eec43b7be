// How the engine fails: the one rule, for every operation of src/.
//
// An operation that can fail for a reason the user can fix (a file that cannot be used, a
// movie that cannot be read, a value that cannot be written) returns its result or a
// Report: Result<T> (Result.h) when it makes something, a Report alone when it only acts.
// A Report holds the product's own texts for the user, each with the kind of box the
// interactive program shows it in, and the technical reason (a library's or the system's
// words, for the log and the command line's --verbose); failed() says the operation did
// not do what was asked and left what it works on as it was. A message of a Report that
// did not fail tells of something the operation went on after (a face that could not be
// created, an outline record it skipped). A low-level operation (reading a file, unpacking
// a movie) may fail with a reason alone: its caller, which knows what the user asked for,
// adds the message (Report::fail keeps the reason).
//
// Nothing else carries a failure: no error text kept on an object, no std::string* out
// parameter, no optional "problem" whose emptiness means success, no sentinel value.
// Exceptions are for programming faults and running out of memory; the checks that the
// product defines as throwing (the JPEG check's FileException, a variable that cannot be
// encoded) are caught where the operation that runs them builds its Report. The front
// ends decide how a Report is shown: the interactive program in message boxes, the
// command line in one line on standard error.
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
    Report& fail(std::string text, MessageKind kind = MessageKind::Information) {
        failed_ = true;
        note(std::move(text), kind);
        return *this;
    }
    // A failure with the technical reason alone, for the caller to word for the user.
    static Report failure(std::string reason) {
        Report report;
        report.failed_ = true;
        report.reason_ = std::move(reason);
        return report;
    }
    // Sets the technical reason (kept with the first one given: the innermost cause).
    Report& because(std::string reason) {
        if (reason_.empty()) reason_ = std::move(reason);
        return *this;
    }
    // Takes over another report's messages, failure and reason.
    void add(const Report& other) {
        failed_ = failed_ || other.failed_;
        messages_.insert(messages_.end(), other.messages_.begin(), other.messages_.end());
        if (reason_.empty()) reason_ = other.reason_;
    }

    bool failed() const { return failed_; }
    const std::vector<UserMessage>& messages() const { return messages_; }
    // The technical reason; empty when there is none beyond the messages.
    const std::string& reason() const { return reason_; }
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
    std::string reason_;
};

}  // namespace tarvenox
