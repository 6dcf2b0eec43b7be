// Writes ActionScript byte code with labelled branches.
#include "swf/ActionWriter.h"

#include <bit>
#include <limits>

#include "common/ByteWriter.h"
#include "common/Exception.h"
#include "swf/ActionRecords.h"

namespace tarvenox {
namespace {

constexpr std::size_t unbound = std::numeric_limits<std::size_t>::max();

// The text and its NUL; throws for a text that holds a NUL, which would end it early.
void appendString(Bytes& out, std::string_view text) {
    if (text.find('\0') != std::string_view::npos) {
        throw Exception("an action string cannot hold a NUL", __LINE__, __FILE__);
    }
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

void appendType(Bytes& out, PushType type) { out.push_back(static_cast<std::uint8_t>(type)); }

// One value of an ActionPush record: its push type and payload.
void appendPushValue(Bytes& out, const ActionValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        appendType(out, PushType::String);
        appendString(out, *text);
    } else if (const auto* number = std::get_if<double>(&value)) {
        // A double is stored as its upper 32 bits, then its lower 32 bits, each
        // little-endian.
        const auto bits = std::bit_cast<std::uint64_t>(*number);
        appendType(out, PushType::Double);
        writeUI32(out, static_cast<std::uint32_t>(bits >> 32));
        writeUI32(out, static_cast<std::uint32_t>(bits));
    } else if (const auto* integer = std::get_if<std::int32_t>(&value)) {
        appendType(out, PushType::Integer);
        writeUI32(out, static_cast<std::uint32_t>(*integer));
    } else {
        appendType(out, PushType::Boolean);
        out.push_back(std::get<bool>(value) ? 1 : 0);
    }
}

}  // namespace

ActionWriter::Label ActionWriter::label() {
    labels_.push_back(unbound);
    return labels_.size() - 1;
}

void ActionWriter::bind(Label label) { labels_.at(label) = code_.size(); }

void ActionWriter::record(std::uint8_t code, const Bytes& payload) {
    if (payload.size() > 0xFFFF) throw Exception("an action record holds at most 65535 bytes", __LINE__, __FILE__);
    code_.push_back(code);
    writeUI16(code_, static_cast<std::uint32_t>(payload.size()));
    code_.insert(code_.end(), payload.begin(), payload.end());
}

ActionWriter& ActionWriter::push(std::string_view text) {
    Bytes payload;
    appendType(payload, PushType::String);
    appendString(payload, text);
    record(action::kPush, payload);
    return *this;
}

ActionWriter& ActionWriter::push(std::int32_t number) { return pushValues({number}); }

ActionWriter& ActionWriter::pushValues(std::initializer_list<ActionValue> values) {
    Bytes payload;
    for (const auto& value : values) appendPushValue(payload, value);
    record(action::kPush, payload);
    return *this;
}

ActionWriter& ActionWriter::op(std::uint8_t code) {
    if (code >= 0x80) throw Exception("action record 0x80 and above has a payload", __LINE__, __FILE__);
    code_.push_back(code);
    return *this;
}

void ActionWriter::branch(std::uint8_t code, Label to) {
    record(code, {0, 0});
    branches_.push_back({code_.size(), to});
}

void ActionWriter::jump(Label to) { branch(action::kJump, to); }

void ActionWriter::jumpIf(Label to) { branch(action::kIf, to); }

void ActionWriter::setTarget(std::string_view path) {
    Bytes payload;
    appendString(payload, path);
    record(action::kSetTarget, payload);
}

ActionWriter& ActionWriter::getUrl2(std::uint8_t flags) {
    record(action::kGetUrl2, {flags});
    return *this;
}

ActionWriter& ActionWriter::getUrl(std::string_view url, std::string_view target) {
    Bytes payload;
    appendString(payload, url);
    appendString(payload, target);
    record(action::kGetUrl, payload);
    return *this;
}

ActionWriter& ActionWriter::then(const ActionWriter& more) {
    const std::size_t shift = code_.size();
    const std::size_t firstLabel = labels_.size();
    code_.insert(code_.end(), more.code_.begin(), more.code_.end());
    for (const std::size_t at : more.labels_) labels_.push_back(at == unbound ? unbound : at + shift);
    for (const Branch& b : more.branches_) branches_.push_back({b.end + shift, b.to + firstLabel});
    return *this;
}

ActionWriter& ActionWriter::ifElse(const ActionWriter& condition, const ActionWriter& whenTrue,
                                   const ActionWriter& whenFalse) {
    // condition; Not; If (over the true branch and its jump) to the false branch; true
    // branch; Jump over the false branch, when there is one; false branch.
    const Label otherwise = label();
    const Label end = label();
    then(condition).op(action::kNot);
    jumpIf(otherwise);
    then(whenTrue);
    if (whenFalse.size() > 0) jump(end);
    bind(otherwise);
    then(whenFalse);
    bind(end);
    return *this;
}

ActionWriter& ActionWriter::getVariable(const std::string& name) { return pushValues({name}).op(action::kGetVariable); }

ActionWriter& ActionWriter::setVariable(const std::string& name, const ActionWriter& valueActions) {
    return pushValues({name}).then(valueActions).op(action::kSetVariable);
}

ActionWriter& ActionWriter::setText(const std::string& name, const std::string& text) {
    return pushValues({name, text}).op(action::kSetVariable);
}

ActionWriter& ActionWriter::setVisible(const std::string& target, const ActionWriter& condition) {
    return pushValues({target, kVisibleProperty}).then(condition).op(action::kSetProperty);
}

ActionWriter& ActionWriter::fsCommand(const std::string& command, const std::string& argument) {
    return getUrl("FSCommand:" + command, argument);
}

ActionWriter& ActionWriter::fsCommand(const std::string& command, const ActionWriter& argumentActions) {
    // The URL, then the window: the player takes the window's text as the argument.
    return pushValues({"FSCommand:" + command}).then(argumentActions).getUrl2(0);
}

ActionWriter& ActionWriter::loadVariables(const std::string& url, const std::string& target) {
    return pushValues({url, target}).getUrl2(getUrl2::kLoadVariables | getUrl2::kTargetIsClip);
}

Bytes ActionWriter::bytes() const {
    Bytes out = code_;
    for (const Branch& branch : branches_) {
        const std::size_t target = labels_.at(branch.to);
        if (target == unbound) throw Exception("a branch goes to a label never placed", __LINE__, __FILE__);
        const auto offset = static_cast<std::int64_t>(target) - static_cast<std::int64_t>(branch.end);
        if (offset < std::numeric_limits<std::int16_t>::min() || offset > std::numeric_limits<std::int16_t>::max()) {
            throw Exception("a branch reaches further than 32767 bytes", __LINE__, __FILE__);
        }
        const auto field = static_cast<std::uint16_t>(static_cast<std::int16_t>(offset));
        out[branch.end - 2] = static_cast<std::uint8_t>(field & 0xFF);
        out[branch.end - 1] = static_cast<std::uint8_t>(field >> 8);
    }
    return out;
}

Bytes ActionWriter::finish() const {
    Bytes out = bytes();
    out.push_back(action::kEnd);
    return out;
}

}  // namespace tarvenox
