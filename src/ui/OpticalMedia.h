// The mounted optical media (CDs, DVDs, Blu-ray discs), found in the kernel's mount table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvenox {

// The mount points of the iso9660 and udf file systems in a mount table of the format of
// /proc/self/mounts (one mount a line: device, mount point, type, options, ...; fields
// separated by blanks), in mount order. The kernel writes a blank, tab, newline or
// backslash in a mount point as an octal escape ("\040"); they are decoded.
std::vector<std::string> opticalMediaRoots(std::string_view mountsText);

// The same for this process's mount table; empty when it cannot be read.
std::vector<std::string> mountedOpticalMedia();

}  // namespace tarvenox
