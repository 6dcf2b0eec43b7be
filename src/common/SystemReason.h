// Why the system refused a file operation, in the run's language.
#pragma once

#include <string>
#include <system_error>

namespace tarvenox {

// The reason for an errno value: the common ones (no such file, permission denied, a
// folder, no space left...) from the catalogue, any other as the system words it,
// marked as the system's detail.
std::string systemReason(int error);
// The same for an error code of the system or generic category; another category's
// message as it is.
std::string systemReason(const std::error_code& error);

}  // namespace tarvenox
