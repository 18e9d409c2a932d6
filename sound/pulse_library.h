#pragma once

#include <pulse/pulseaudio.h>

namespace keyfall {

// The functions of libpulse that the sound player calls, each named once, without its "pa_".
#define KEYFALL_PULSE_FUNCTIONS(F)                                                                 \
    F(mainloop_new)                                                                                \
    F(mainloop_get_api)                                                                            \
    F(mainloop_run)                                                                                \
    F(mainloop_free)                                                                               \
    F(gettimeofday)                                                                                \
    F(timeval_add)                                                                                 \
    F(proplist_new)                                                                                \
    F(proplist_sets)                                                                               \
    F(proplist_free)                                                                               \
    F(context_new_with_proplist)                                                                   \
    F(context_set_state_callback)                                                                  \
    F(context_connect)                                                                             \
    F(context_get_state)                                                                           \
    F(context_disconnect)                                                                          \
    F(context_unref)                                                                               \
    F(stream_new_with_proplist)                                                                    \
    F(stream_set_state_callback)                                                                   \
    F(stream_set_underflow_callback)                                                               \
    F(stream_connect_playback)                                                                     \
    F(stream_get_state)                                                                            \
    F(stream_set_buffer_attr)                                                                      \
    F(stream_flush)                                                                                \
    F(stream_write)                                                                                \
    F(stream_cork)                                                                                 \
    F(stream_update_timing_info)                                                                   \
    F(stream_get_timing_info)                                                                      \
    F(stream_get_underflow_index)                                                                  \
    F(stream_disconnect)                                                                           \
    F(stream_unref)                                                                                \
    F(operation_cancel)                                                                            \
    F(operation_unref)

// libpulse, loaded when the sound thread first needs it rather than by the dynamic loader before
// the window opens: the program starts without it and its dozen libraries, and runs without it
// too. Its header serves only for the types.
struct PulseLibrary {
#define KEYFALL_DECLARE_PULSE_FUNCTION(name) decltype(&::pa_##name) name = nullptr;
    KEYFALL_PULSE_FUNCTIONS(KEYFALL_DECLARE_PULSE_FUNCTION)
#undef KEYFALL_DECLARE_PULSE_FUNCTION

    // Loads the library and looks up its functions on the first call; the same answer after
    // that. Without the library, or with one that lacks a function, gives nothing: the game then
    // plays silent, and says nothing of it.
    static const PulseLibrary* load();
};

}
