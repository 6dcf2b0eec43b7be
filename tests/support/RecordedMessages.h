// Collects the messages the engine shows the user while it lives, instead of showing them.
#pragma once

#include <string>
#include <vector>

#include "common/Messages.h"

namespace tarvenox::test {

class RecordedMessages : public MessageSink {
public:
    RecordedMessages() { previous_ = setMessageSink(this); }
    ~RecordedMessages() override { setMessageSink(previous_); }
    RecordedMessages(const RecordedMessages&) = delete;
    RecordedMessages& operator=(const RecordedMessages&) = delete;

    void showMessage(const std::string& text, MessageKind kind) override {
        texts.push_back(text);
        kinds.push_back(kind);
    }
    std::vector<std::string> texts;
    std::vector<MessageKind> kinds;

private:
    MessageSink* previous_ = nullptr;
};

}  // namespace tarvenox::test
