// What the web page calls in the library, as plain C functions that the
// page reaches through Module.cwrap. Strings go in and out as UTF-8; every
// decision about formats stays in the library.
#include <emscripten/emscripten.h>

#include <string>

#include <mog/container.h>
#include <mog/version.h>

extern "C" {

// The tool's version, as mog --version prints it after "mog ".
EMSCRIPTEN_KEEPALIVE const char* mog_version() {
    return mog::version();
}

// The short name of the container kind a file name stands for ("d64",
// "prg", ...), or "" for a name the library does not take.
EMSCRIPTEN_KEEPALIVE const char* mog_container_kind(const char* name) {
    static std::string kind;
    std::optional<mog::Container> container = name != nullptr ? mog::container_for_name(name) : std::nullopt;
    kind = container ? std::string(mog::container_name(*container)) : std::string();
    return kind.c_str();
}

} // extern "C"
