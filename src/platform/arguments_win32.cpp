#include "platform/arguments.h"

#include "platform/windows_text.h"

#include <shellapi.h> // after windows.h, which it needs

namespace mog {

// The narrow arguments hold only what the ANSI code page can; the wide
// command line holds every name.
char** utf8_arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr || count != argc)
        return argv;
    // Lives until the process ends, as the arguments do.
    static std::string* texts = new std::string[static_cast<std::size_t>(count)];
    static char** utf8 = new char*[static_cast<std::size_t>(count) + 1];
    for (int i = 0; i < count; ++i) {
        texts[i] = utf8_text(wide[i]);
        utf8[i] = texts[i].data();
    }
    utf8[count] = nullptr;
    LocalFree(wide);
    return utf8;
}

} // namespace mog
