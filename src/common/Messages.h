// Messages for the user: the engine reports through one interface, and the program
// decides how to show them (stderr on the command line, a message box in the page).
#pragma once

#include <string>

namespace tarvenox {

enum class MessageKind {
    Information,  // OK button, information icon: something the user can correct
    Error,        // OK button, error icon: the program cannot go on
    OkCancel,     // OK and Cancel, no icon: an internal conversion problem; the answer changes nothing
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void showMessage(const std::string& text, MessageKind kind) = 0;
};

// Shows a message through the installed sink (standard error when none is installed).
// Every message carries the caption "Tarvenox". The text is UTF-8, like the program's
// own fixed texts; text that is not valid UTF-8 is taken as Windows-1252 (a product
// name that found its way into a message) and converted for display.
void showMessage(const std::string& text, MessageKind kind);

// Installs a sink and returns the previous one; nullptr restores the default.
MessageSink* setMessageSink(MessageSink* sink);

}  // namespace tarvenox
