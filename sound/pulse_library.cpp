#include "pulse_library.h"

#include <dlfcn.h>
#include <optional>

namespace keyfall {

namespace {

    // The library's name with its ABI version, as installed without the development files.
    constexpr const char* kLibraryName = "libpulse.so.0";

    std::optional<PulseLibrary> lookUp()
    {
        void* handle = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return std::nullopt;
        PulseLibrary library;
        bool complete = true;
#define KEYFALL_LOOK_UP_PULSE_FUNCTION(name)                                                       \
    library.name = reinterpret_cast<decltype(library.name)>(dlsym(handle, "pa_" #name));           \
    complete = complete && library.name;
        KEYFALL_PULSE_FUNCTIONS(KEYFALL_LOOK_UP_PULSE_FUNCTION)
#undef KEYFALL_LOOK_UP_PULSE_FUNCTION
        if (!complete) {
            dlclose(handle);
            return std::nullopt;
        }
        // The library stays loaded for the rest of the program: its threads and callbacks may
        // outlive any one connection.
        return library;
    }

}

const PulseLibrary* PulseLibrary::load()
{
    static const std::optional<PulseLibrary> library = lookUp();
    return library ? &*library : nullptr;
}

}
