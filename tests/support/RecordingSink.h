// A message sink for tests: records every message shown while it is installed, and
// puts the previous sink back when it goes.
#pragma once

#include <string>
#include <vector>

#include "common/Messages.h"

namespace tarvenox::test {

class RecordingSink : public MessageSink {
public:
    RecordingSink() : previous_(setMessageSink(this)) {}
    ~RecordingSink() override { setMessageSink(previous_); }

    void showMessage(const std::string& text, MessageKind kind) override {
        texts.push_back(text);
        kinds.push_back(kind);
    }

    std::vector<std::string> texts;
    std::vector<MessageKind> kinds;

private:
    MessageSink* previous_;
};

}  // namespace tarvenox::test
