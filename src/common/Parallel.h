// Work spread over the processor cores the program may use.
#pragma once

namespace tarvenox {

// The number of cores this process may run on (its CPU affinity), at least 1.
unsigned availableThreads();

}  // namespace tarvenox
