// ActionScript of Flash 5 movies as bytes.
#include "Actions.h"

#include <bit>
#include <limits>
#include <stdexcept>

#include "common/ByteWriter.h"
#include "swf/ActionWriter.h"

namespace tarvenox::tools {

namespace {

constexpr std::uint8_t kLoadVariablesIntoClip = getUrl2::kLoadVariables | getUrl2::kTargetIsClip;

void appendString(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

// One value of an ActionPush record: its push type and payload.
void appendPushValue(Bytes& out, const ActionValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        out.push_back(0x00);
        appendString(out, *text);
    } else if (const auto* number = std::get_if<double>(&value)) {
        // A double is stored as its upper 32 bits, then its lower 32 bits, each
        // little-endian.
        auto bits = std::bit_cast<std::uint64_t>(*number);
        out.push_back(0x06);
        writeUI32(out, static_cast<std::uint32_t>(bits >> 32));
        writeUI32(out, static_cast<std::uint32_t>(bits));
    } else if (const auto* integer = std::get_if<std::int32_t>(&value)) {
        out.push_back(0x07);
        writeUI32(out, static_cast<std::uint32_t>(*integer));
    } else {
        out.push_back(0x05);
        out.push_back(std::get<bool>(value) ? 1 : 0);
    }
}

Bytes offsetBytes(std::size_t distance) {
    if (distance > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) {
        throw std::runtime_error("a branch of " + std::to_string(distance) + " bytes is too long for a jump");
    }
    Bytes out;
    writeUI16(out, static_cast<std::uint32_t>(distance));
    return out;
}

}  // namespace

Actions& Actions::op(std::uint8_t code) {
    bytes_.push_back(code);
    return *this;
}

Actions& Actions::record(std::uint8_t code, const Bytes& payload) {
    if (payload.size() > 0xFFFF) throw std::runtime_error("an action record is longer than 65535 bytes");
    bytes_.push_back(code);
    writeUI16(bytes_, static_cast<std::uint32_t>(payload.size()));
    bytes_.insert(bytes_.end(), payload.begin(), payload.end());
    return *this;
}

Actions& Actions::push(std::initializer_list<ActionValue> values) {
    Bytes payload;
    for (const auto& value : values) appendPushValue(payload, value);
    return record(action::kPush, payload);
}

Actions& Actions::then(const Actions& more) {
    bytes_.insert(bytes_.end(), more.bytes_.begin(), more.bytes_.end());
    return *this;
}

Actions& Actions::getVariable(const std::string& name) {
    return push({name}).op(action::kGetVariable);
}

Actions& Actions::setVariable(const std::string& name, const Actions& valueActions) {
    return push({name}).then(valueActions).op(action::kSetVariable);
}

Actions& Actions::setText(const std::string& name, const std::string& text) {
    return push({name, text}).op(action::kSetVariable);
}

Actions& Actions::setVisible(const std::string& target, const Actions& condition) {
    return push({target, kVisibleProperty}).then(condition).op(action::kSetProperty);
}

Actions& Actions::fsCommand(const std::string& command, const std::string& argument) {
    Bytes payload;
    appendString(payload, "FSCommand:" + command);
    appendString(payload, argument);
    return record(action::kGetUrl, payload);
}

Actions& Actions::fsCommand(const std::string& command, const Actions& argumentActions) {
    // The URL, then the window: the player takes the window's text as the argument.
    return push({"FSCommand:" + command}).then(argumentActions).record(action::kGetUrl2, {0x00});
}

Actions& Actions::loadVariables(const std::string& url, const std::string& target) {
    return push({url, target}).record(action::kGetUrl2, {kLoadVariablesIntoClip});
}

Actions& Actions::ifElse(const Actions& condition, const Actions& whenTrue, const Actions& whenFalse) {
    // condition; Not; If (over the true branch and its jump) to the false branch;
    // true branch; Jump over the false branch; false branch.
    Actions trueBranch = whenTrue;
    if (whenFalse.size() > 0) trueBranch.record(action::kJump, offsetBytes(whenFalse.size()));
    then(condition).op(action::kNot).record(action::kIf, offsetBytes(trueBranch.size()));
    return then(trueBranch).then(whenFalse);
}

}  // namespace tarvenox::tools
