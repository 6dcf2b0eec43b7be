// DoAction.
#include "swf/SWFDoAction.h"

#include "common/ByteReader.h"
#include "common/ByteWriter.h"
#include "common/Exception.h"
#include "swf/ActionRecords.h"
#include "swf/SWFType.h"

namespace tarvenox {

namespace {

// The pushed value of the variable's own assignment: the second value of the
// ActionPush that SWFType writes.
Bytes newValueOf(const SWFType& variable, MovieTextEncoding encoding) {
    Bytes assignment;
    variable.appendActionBytes(assignment, encoding);
    auto records = readActionRecords(assignment);
    auto values = records ? readPushValues(records->front().payload) : std::nullopt;
    if (!values || values->size() != 2) return {};
    return Bytes(values->back().bytes.begin(), values->back().bytes.end());
}

// The assignments of the top-level actions in order, each with the index of the
// ActionPush whose last value is the value.
struct Assignment {
    std::string name;         // as the movie stores it
    std::size_t valueRecord;  // index of the ActionPush whose last value is the value
    std::vector<PushValue> values;
    std::optional<std::string> valueText;  // a string value, or the constant it names
};

std::vector<Assignment> findAssignments(const std::vector<ActionRecord>& records) {
    std::vector<Assignment> found;
    std::vector<std::string> pool;
    std::size_t functionEnd = 0;  // code up to here is a function body, not run here
    for (std::size_t i = 0; i < records.size(); ++i) {
        const ActionRecord& r = records[i];
        if (r.code == action::kConstantPool) {
            if (auto strings = readConstantPool(r.payload)) pool = std::move(*strings);
        }
        if ((r.code == action::kDefineFunction || r.code == action::kDefineFunction2) && r.payload.size() >= 2 &&
            r.offset >= functionEnd) {
            functionEnd = r.end() + peekUI16(r.payload, r.payload.size() - 2);
        }
        if (r.code != action::kSetVariable || i == 0 || r.offset < functionEnd) continue;
        const ActionRecord& valuePush = records[i - 1];
        if (valuePush.code != action::kPush) continue;
        auto values = readPushValues(valuePush.payload);
        if (!values || values->empty()) continue;
        // The name is the value pushed just before the value: in the same record, or
        // the last one of the ActionPush before it.
        std::optional<PushValue> nameValue;
        if (values->size() >= 2) {
            nameValue = (*values)[values->size() - 2];
        } else if (i >= 2 && records[i - 2].code == action::kPush) {
            auto earlier = readPushValues(records[i - 2].payload);
            if (earlier && !earlier->empty()) nameValue = earlier->back();
        }
        auto name = nameValue ? nameValue->text(pool) : std::nullopt;
        if (!name) continue;
        auto valueText = values->back().text(pool);
        found.push_back({std::move(*name), i - 1, std::move(*values), std::move(valueText)});
    }
    return found;
}

std::optional<Assignment> findAssignment(const std::vector<ActionRecord>& records, const std::string& name) {
    for (auto& assignment : findAssignments(records)) {
        if (assignment.name == name) return std::move(assignment);
    }
    return std::nullopt;
}

}  // namespace

void SWFDoAction::setVariables(const std::vector<std::unique_ptr<SWFType>>& variables, MovieTextEncoding encoding) {
    // Built whole before it is installed: a variable that cannot be written leaves the
    // old body in place.
    setData(actionBytes(variables, encoding));
}

bool SWFDoAction::assignInPlace(const SWFType& variable, MovieTextEncoding encoding) {
    auto records = readActionRecords(body());
    if (!records) return false;
    auto assignment = findAssignment(*records, toMovieText(variable.getName(), encoding));
    if (!assignment) return false;
    Bytes payload;
    for (std::size_t i = 0; i + 1 < assignment->values.size(); ++i) {
        const ByteSpan kept = assignment->values[i].bytes;
        payload.insert(payload.end(), kept.begin(), kept.end());
    }
    const Bytes value = newValueOf(variable, encoding);
    payload.insert(payload.end(), value.begin(), value.end());
    if (payload.size() > 0xFFFF) {
        throw Exception("variable '" + variable.getName() + "' is too long for its ActionPush", __LINE__, __FILE__);
    }
    Bytes record{action::kPush};
    writeUI16(record, static_cast<std::uint32_t>(payload.size()));
    record.insert(record.end(), payload.begin(), payload.end());
    auto replaced = replaceActionRecord(body(), *records, assignment->valueRecord, record);
    if (!replaced) {
        throw Exception("variable '" + variable.getName() +
                            "' cannot be set where the movie's actions set it: a branch of the "
                            "actions lands inside its value or would reach too far",
                        __LINE__, __FILE__);
    }
    setData(std::move(*replaced));
    return true;
}

std::vector<SWFDoAction::VariableValue> SWFDoAction::assignedValues() const {
    std::vector<VariableValue> out;
    auto records = readActionRecords(body());
    if (!records) return out;
    for (const auto& assignment : findAssignments(*records)) {
        out.push_back({assignment.name, assignment.values.back(), assignment.valueText});
    }
    return out;
}

}  // namespace tarvenox
