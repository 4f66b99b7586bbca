#include "platform/console_output.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <langinfo.h>
#include <strings.h>
#include <unistd.h>

namespace mog {

namespace {

Display output_display = Display::bytes;
Display error_display = Display::bytes;

// The locale's name as the environment gives it: the first of LC_ALL,
// LC_CTYPE and LANG that is set, as the C library looks for it.
const char* locale_name() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return value;
    }
    return "";
}

// A name such as en_US.UTF-8 or de_DE.utf8.
bool names_utf8(const char* name) {
    const char* dot = std::strchr(name, '.');
    return dot != nullptr && (strncasecmp(dot + 1, "UTF-8", 5) == 0 || strncasecmp(dot + 1, "UTF8", 4) == 0);
}

// Asks the user's locale, then leaves the process in the C locale so that
// nothing else changes with it. A locale that is named but not installed,
// as often over SSH and in containers, is judged by its name.
bool locale_takes_utf8() {
    if (std::setlocale(LC_CTYPE, "") == nullptr)
        return names_utf8(locale_name());
    const char* codeset = nl_langinfo(CODESET);
    bool utf8 = codeset != nullptr && (strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "UTF8") == 0);
    std::setlocale(LC_CTYPE, "C");
    return utf8;
}

} // namespace

void console_init() {
    bool output_terminal = isatty(STDOUT_FILENO) != 0;
    bool error_terminal = isatty(STDERR_FILENO) != 0;
    if (!output_terminal && !error_terminal)
        return; // redirected: no locale needed
    Display terminal = locale_takes_utf8() ? Display::utf8 : Display::safe_bytes;
    output_display = output_terminal ? terminal : Display::bytes;
    error_display = error_terminal ? terminal : Display::bytes;
}

Display stream_display(std::FILE* stream) {
    return stream == stderr ? error_display : output_display;
}

bool console_write(std::FILE* stream, const char* text, std::size_t size) {
    return std::fwrite(text, 1, size, stream) == size;
}

} // namespace mog
