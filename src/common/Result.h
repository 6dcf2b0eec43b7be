// What an operation made, or the Report of why it could not (the rule is in Report.h).
#pragma once

#include <cassert>
#include <optional>
#include <utility>

#include "common/Report.h"

namespace tarvenox {

template <class T>
class [[nodiscard]] Result {
public:
    // Made; notes may tell of something the operation went on after.
    Result(T value, Report notes = {}) : value_(std::move(value)), report_(std::move(notes)) {
        assert(!report_.failed());
    }
    // Not made: failure.failed() is true.
    Result(Report failure) : report_(std::move(failure)) { assert(report_.failed()); }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    // The value, moved out; only when ok().
    T take() { return std::move(*value_); }
    // The failure, or the notes of a success.
    const Report& report() const { return report_; }
    Report& report() { return report_; }

private:
    std::optional<T> value_;
    Report report_;
};

}  // namespace tarvenox
