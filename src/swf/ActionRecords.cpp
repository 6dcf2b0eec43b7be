// ACTIONRECORDs of DoAction bodies.
#include "swf/ActionRecords.h"

#include <limits>

#include "common/ByteReader.h"
#include "common/ByteWriter.h"

namespace tarvenox {

namespace {

// Payload sizes of the fixed-size push value types; strings end at their NUL.
std::optional<std::size_t> pushPayloadSize(PushType type) {
    switch (type) {
        case PushType::Null:
        case PushType::Undefined: return 0;
        case PushType::Register:
        case PushType::Boolean:
        case PushType::Constant8: return 1;
        case PushType::Constant16: return 2;
        case PushType::Float:
        case PushType::Integer: return 4;
        case PushType::Double: return 8;
        default: return std::nullopt;
    }
}

// A 16-bit field of a record: where it sits in the payload and how it is read.
struct BranchField {
    std::size_t payloadOffset;
    bool isOffset;      // a signed branch offset from the record's end
    std::size_t start;  // for a block size: where the block starts in the body
};

// The branch offsets and block sizes a record carries.
std::vector<BranchField> branchFields(const ActionRecord& record) {
    const std::size_t n = record.payload.size();
    switch (record.code) {
        case action::kJump:
        case action::kIf:
            if (n >= 2) return {{0, true, 0}};
            break;
        case action::kWith:
            if (n >= 2) return {{0, false, record.end()}};
            break;
        case action::kDefineFunction:
        case action::kDefineFunction2:
            // The code size is the last field of both.
            if (n >= 2) return {{n - 2, false, record.end()}};
            break;
        case action::kTry:
            if (n >= 7) {
                // Try, catch and finally blocks follow one another after the record.
                const std::size_t trySize = peekUI16(record.payload, 1);
                const std::size_t catchSize = peekUI16(record.payload, 3);
                const std::size_t at = record.end();
                return {{1, false, at}, {3, false, at + trySize}, {5, false, at + trySize + catchSize}};
            }
            break;
        default: break;
    }
    return {};
}

}  // namespace

std::optional<std::vector<ActionRecord>> readActionRecords(ByteSpan body) {
    ByteReader reader(body);
    std::vector<ActionRecord> records;
    while (!reader.atEnd()) {
        ActionRecord record;
        record.offset = reader.position();
        record.code = reader.readU8();
        if (record.code >= 0x80) {
            const std::uint16_t length = reader.readU16LE();
            record.payload = reader.readBytes(length);
            if (reader.overrun()) return std::nullopt;
        }
        records.push_back(record);
        if (record.code == action::kEnd) break;
    }
    return records;
}

std::optional<std::string> PushValue::text(const std::vector<std::string>& pool) const {
    ByteSpan payload = bytes.subspan(1);
    switch (type) {
        case PushType::String: return asString(payload.first(payload.size() - 1));
        case PushType::Constant8:
        case PushType::Constant16: {
            const std::size_t index = type == PushType::Constant8 ? payload[0] : peekUI16(payload, 0);
            if (index < pool.size()) return pool[index];
            return std::nullopt;
        }
        default: return std::nullopt;
    }
}

std::optional<std::vector<PushValue>> readPushValues(ByteSpan payload) {
    ByteReader reader(payload);
    std::vector<PushValue> values;
    while (!reader.atEnd()) {
        const std::size_t start = reader.position();
        PushValue value;
        value.type = static_cast<PushType>(reader.readU8());
        if (value.type == PushType::String) {
            if (!reader.readCString()) return std::nullopt;
        } else {
            const auto size = pushPayloadSize(value.type);
            if (!size || !reader.skip(*size)) return std::nullopt;
        }
        value.bytes = payload.subspan(start, reader.position() - start);
        values.push_back(value);
    }
    return values;
}

std::optional<std::vector<std::string>> readConstantPool(ByteSpan payload) {
    ByteReader reader(payload);
    const std::uint16_t count = reader.readU16LE();
    std::vector<std::string> pool;
    for (std::uint16_t i = 0; i < count; ++i) {
        auto text = reader.readCString();
        if (!text) return std::nullopt;
        pool.push_back(std::move(*text));
    }
    if (reader.overrun()) return std::nullopt;
    return pool;
}

std::optional<Bytes> replaceActionRecord(ByteSpan body, const std::vector<ActionRecord>& records, std::size_t index,
                                         ByteSpan replacement) {
    const ActionRecord& old = records.at(index);
    const std::size_t from = old.offset;
    const std::size_t to = old.end();
    const auto delta = static_cast<std::ptrdiff_t>(replacement.size()) - static_cast<std::ptrdiff_t>(old.size());
    // Where a position of the old body lies in the new one; nothing may point inside
    // the replaced record.
    auto shift = [&](std::ptrdiff_t x) -> std::optional<std::ptrdiff_t> {
        if (x <= static_cast<std::ptrdiff_t>(from)) return x;
        if (x >= static_cast<std::ptrdiff_t>(to)) return x + delta;
        return std::nullopt;
    };

    Bytes out(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(from));
    out.insert(out.end(), replacement.begin(), replacement.end());
    out.insert(out.end(), body.begin() + static_cast<std::ptrdiff_t>(to), body.end());

    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i == index) continue;
        const ActionRecord& record = records[i];
        for (const BranchField& field : branchFields(record)) {
            const std::uint16_t stored = peekUI16(record.payload, field.payloadOffset);
            std::ptrdiff_t start = static_cast<std::ptrdiff_t>(field.start);
            std::ptrdiff_t end = start + stored;
            if (field.isOffset) {
                start = static_cast<std::ptrdiff_t>(record.end());
                end = start + static_cast<std::int16_t>(stored);
            }
            const auto newStart = shift(start);
            const auto newEnd = shift(end);
            if (!newStart || !newEnd) return std::nullopt;
            const std::ptrdiff_t value = *newEnd - *newStart;
            const bool fits = field.isOffset ? value >= std::numeric_limits<std::int16_t>::min() &&
                                                   value <= std::numeric_limits<std::int16_t>::max()
                                             : value >= 0 && value <= std::numeric_limits<std::uint16_t>::max();
            if (!fits) return std::nullopt;
            // The record itself moved with everything after the replaced one.
            const std::size_t at =
                static_cast<std::size_t>(*shift(static_cast<std::ptrdiff_t>(record.offset))) + 3 + field.payloadOffset;
            out[at] = static_cast<std::uint8_t>(value & 0xFF);
            out[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
        }
    }
    return out;
}

}  // namespace tarvenox
