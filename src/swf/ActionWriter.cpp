// Writes ActionScript byte code with labelled branches.
#include "swf/ActionWriter.h"

#include <limits>

#include "common/ByteWriter.h"
#include "common/Exception.h"
#include "swf/ActionRecords.h"

namespace tarvenox {
namespace {

constexpr std::size_t unbound = std::numeric_limits<std::size_t>::max();
// ActionPush value types.
constexpr std::uint8_t pushString = 0;
constexpr std::uint8_t pushInteger = 7;

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

void ActionWriter::push(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) {
        throw Exception("an action string cannot hold a NUL", __LINE__, __FILE__);
    }
    Bytes payload{pushString};
    payload.insert(payload.end(), text.begin(), text.end());
    payload.push_back(0);
    record(action::kPush, payload);
}

void ActionWriter::push(std::int32_t number) {
    Bytes payload{pushInteger};
    writeUI32(payload, static_cast<std::uint32_t>(number));
    record(action::kPush, payload);
}

void ActionWriter::op(std::uint8_t code) {
    if (code >= 0x80) throw Exception("action record 0x80 and above has a payload", __LINE__, __FILE__);
    code_.push_back(code);
}

void ActionWriter::jump(Label to) {
    record(action::kJump, {0, 0});
    branches_.push_back({code_.size(), to});
}

void ActionWriter::jumpIf(Label to) {
    record(action::kIf, {0, 0});
    branches_.push_back({code_.size(), to});
}

void ActionWriter::setTarget(std::string_view path) {
    if (path.find('\0') != std::string_view::npos) {
        throw Exception("an action string cannot hold a NUL", __LINE__, __FILE__);
    }
    Bytes payload(path.begin(), path.end());
    payload.push_back(0);
    record(action::kSetTarget, payload);
}

void ActionWriter::getUrl2(std::uint8_t flags) { record(action::kGetUrl2, {flags}); }

Bytes ActionWriter::finish() const {
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
    out.push_back(action::kEnd);
    return out;
}

}  // namespace tarvenox
