// Why the system refused a file operation, in the run's language.
#include "common/SystemReason.h"

#include <cerrno>
#include <cstring>

#include "common/Texts.h"

namespace tarvenox {

namespace {

// The reasons a person meets when reading, writing or listing files.
struct Reason {
    int error;
    const char* id;
};
constexpr Reason kReasons[] = {
    {ENOENT, "system.noEntry"},      {EACCES, "system.denied"},
    {EPERM, "system.denied"},        {EISDIR, "system.isFolder"},
    {ENOTDIR, "system.notFolder"},   {ENOSPC, "system.noSpace"},
    {EDQUOT, "system.quota"},        {EROFS, "system.readOnly"},
    {EEXIST, "system.exists"},       {ENAMETOOLONG, "system.nameLong"},
    {ELOOP, "system.linkLoop"},      {EMFILE, "system.tooManyFiles"},
    {ENFILE, "system.tooManyFiles"}, {EIO, "system.inputOutput"},
    {ENOMEM, "system.noMemory"},     {EBUSY, "system.busy"},
    {ENOTEMPTY, "system.notEmpty"},  {EXDEV, "system.otherDevice"},
};

}  // namespace

std::string systemReason(int error) {
    for (const Reason& reason : kReasons) {
        if (reason.error == error) return text(reason.id);
    }
    return text("system.other", {std::strerror(error)});
}

std::string systemReason(const std::error_code& error) {
    if (error.category() == std::generic_category() || error.category() == std::system_category()) {
        return systemReason(error.value());
    }
    return error.message();
}

}  // namespace tarvenox
