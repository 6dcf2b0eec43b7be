// libjpeg's fatal errors and data warnings turned into a jump back to the caller's
// setjmp, for the decoder and the encoder alike.
#pragma once

// jpeglib.h needs FILE and size_t declared first.
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

namespace tarvenox::jpeg {

// libjpeg reports a fatal error by calling error_exit, which must not return; it leaves
// through longjmp to the caller's setjmp. Plain data only: the jump must not skip a
// destructor.
struct ErrorState {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] inline void onError(j_common_ptr info) {
    auto* state = reinterpret_cast<ErrorState*>(info->err);
    info->err->format_message(info, state->message);
    std::longjmp(state->jump, 1);
}

// Sets info's error handling to state (error_exit jumps); before jpeg_create_*.
inline jpeg_error_mgr* errorsTo(ErrorState& state) {
    jpeg_error_mgr* manager = jpeg_std_error(&state.manager);
    manager->error_exit = onError;
    return manager;
}

}  // namespace tarvenox::jpeg
