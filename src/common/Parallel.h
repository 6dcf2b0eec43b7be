// Work spread over the processor cores the program may use.
#pragma once

#include <cstddef>
#include <functional>

namespace tarvenox {

// The number of cores this process may run on (its CPU affinity), at least 1.
unsigned availableThreads();

// Runs task(0) ... task(count - 1), each once, on up to `threads` threads (the calling
// thread among them), and returns when all have ended. The first exception a task
// throws is thrown again here, after every started task has ended. Which thread runs
// which task varies; results must depend on the index only.
void parallelFor(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& task);

}  // namespace tarvenox
