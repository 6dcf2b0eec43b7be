// Messages for the user.
#include "common/Messages.h"

#include <cstdio>

#include "common/Cp1252.h"

namespace tarvenox {

namespace {
MessageSink* installed = nullptr;
}  // namespace

void showMessage(const std::string& text, MessageKind kind) {
    if (installed != nullptr) {
        installed->showMessage(text, kind);
        return;
    }
    std::fprintf(stderr, "Tarvenox: %s\n", displayText(text).c_str());
    (void)kind;
}

MessageSink* setMessageSink(MessageSink* sink) {
    MessageSink* previous = installed;
    installed = sink;
    return previous;
}

}  // namespace tarvenox
