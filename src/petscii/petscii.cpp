#include "petscii/petscii.h"

#include "cli/run_options.h"

unsigned char petscii_to_console(unsigned char petscii) {
    if (run_options.raw_output)
        return petscii;
    if (petscii < GLYPH_TABLE_SIZE)
        return run_options.glyph_table->console[petscii];
    return HIGH_GLYPHS[petscii - GLYPH_TABLE_SIZE];
}

std::size_t convert_petscii_string(char* destination, const unsigned char* source, std::size_t source_size) {
    std::size_t length = 0;
    while (length < source_size && source[length] != 0) {
        destination[length] = static_cast<char>(petscii_to_console(source[length]));
        ++length;
    }
    destination[length] = '\0';
    return length;
}
