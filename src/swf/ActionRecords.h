// ACTIONRECORDs of DoAction bodies: walking them without running past the body, the
// values of ActionPush, and replacing one record while keeping branches on target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/Bytes.h"

namespace tarvenox {

namespace action {
inline constexpr std::uint8_t kEnd = 0x00;
inline constexpr std::uint8_t kPlay = 0x06;
inline constexpr std::uint8_t kStop = 0x07;
inline constexpr std::uint8_t kAdd = 0x0A;
inline constexpr std::uint8_t kSubtract = 0x0B;
inline constexpr std::uint8_t kEquals = 0x0E;
inline constexpr std::uint8_t kLess = 0x0F;
inline constexpr std::uint8_t kNot = 0x12;
inline constexpr std::uint8_t kStringEquals = 0x13;
inline constexpr std::uint8_t kPop = 0x17;
inline constexpr std::uint8_t kGetVariable = 0x1C;
inline constexpr std::uint8_t kSetVariable = 0x1D;
inline constexpr std::uint8_t kStringAdd = 0x21;
inline constexpr std::uint8_t kSetProperty = 0x23;
inline constexpr std::uint8_t kTypeOf = 0x44;
inline constexpr std::uint8_t kPushDuplicate = 0x4C;
inline constexpr std::uint8_t kGetUrl = 0x83;
inline constexpr std::uint8_t kConstantPool = 0x88;
inline constexpr std::uint8_t kSetTarget = 0x8B;
inline constexpr std::uint8_t kDefineFunction2 = 0x8E;
inline constexpr std::uint8_t kTry = 0x8F;
inline constexpr std::uint8_t kWith = 0x94;
inline constexpr std::uint8_t kPush = 0x96;
inline constexpr std::uint8_t kJump = 0x99;
inline constexpr std::uint8_t kGetUrl2 = 0x9A;
inline constexpr std::uint8_t kDefineFunction = 0x9B;
inline constexpr std::uint8_t kIf = 0x9D;
}  // namespace action

struct ActionRecord {
    std::uint8_t code = 0;
    std::size_t offset = 0;  // of the code byte in the body
    ByteSpan payload;        // what follows the code (and the length, for codes >= 0x80)

    // Code bytes from 0x80 on are followed by a UI16 length and that many bytes.
    std::size_t size() const { return code >= 0x80 ? 3 + payload.size() : 1; }
    std::size_t end() const { return offset + size(); }
};

// The records from the start of body up to and including ActionEnd, or to the end of
// the body when it has none. nullopt when a record runs past the body.
std::optional<std::vector<ActionRecord>> readActionRecords(ByteSpan body);

// The type byte in front of each value of an ActionPush, and so of its payload.
enum class PushType : std::uint8_t {
    String = 0,  // ends at its NUL
    Float = 1,
    Null = 2,
    Undefined = 3,
    Register = 4,
    Boolean = 5,
    Double = 6,  // the upper 32 bits first, each half little-endian
    Integer = 7,
    Constant8 = 8,
    Constant16 = 9,
};

// One value of an ActionPush: its type byte and payload as stored.
struct PushValue {
    PushType type = PushType::String;
    ByteSpan bytes;  // type byte and payload

    // The string of a string value, or of a constant looked up in pool.
    std::optional<std::string> text(const std::vector<std::string>& pool) const;
};

// The values of an ActionPush payload; nullopt for an unknown type or a value cut short.
std::optional<std::vector<PushValue>> readPushValues(ByteSpan payload);

// The strings of an ActionConstantPool payload; nullopt when it is cut short.
std::optional<std::vector<std::string>> readConstantPool(ByteSpan payload);

// The body with records[index] replaced by replacement (a whole record), and every
// branch offset (ActionJump, ActionIf) and block size (DefineFunction, DefineFunction2,
// ActionWith, ActionTry) that spans the replaced record adjusted to its new length.
// nullopt when a branch lands inside the replaced record or an offset no longer fits
// its field.
std::optional<Bytes> replaceActionRecord(ByteSpan body, const std::vector<ActionRecord>& records, std::size_t index,
                                         ByteSpan replacement);

}  // namespace tarvenox
