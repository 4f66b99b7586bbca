// What the web page calls in the library, as plain C functions that the
// page reaches through Module.cwrap. Strings go in and out as UTF-8; every
// decision about formats stays in the library.
#include <emscripten/emscripten.h>

#include <mog/container.h>

extern "C" {

// The tool's version, as mog --version prints it after "mog ".
EMSCRIPTEN_KEEPALIVE const char* mog_version() {
    return MOG_VERSION;
}

// The short name of the container kind a file name stands for ("d64",
// "prg", ...), or "" for a name the library does not take.
EMSCRIPTEN_KEEPALIVE const char* mog_container_kind(const char* name) {
    mog::Container container;
    if (name == nullptr || !mog::container_for_name(name, container))
        return "";
    return mog::container_name(container);
}

} // extern "C"
