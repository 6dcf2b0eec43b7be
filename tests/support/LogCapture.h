// Captures the diagnostic log while it lives.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/Log.h"

namespace tarvenox::test {

class LogCapture {
public:
    LogCapture() : stream_(::open_memstream(&buffer_, &size_)) { setLogStream(stream_); }
    ~LogCapture() {
        setLogStream(stdout);
        std::fclose(stream_);
        std::free(buffer_);
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::string text() {
        std::fflush(stream_);
        return std::string(buffer_, size_);
    }

private:
    char* buffer_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* stream_;
};

}  // namespace tarvenox::test
