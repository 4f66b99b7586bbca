// The options of one run, filled by the argument walk and only read afterwards.
#pragma once

#include "petscii/glyph_tables.h"

struct RunOptions {
    bool view = false;                                     // -v: show, change nothing
    bool interactive = false;                              // -i: ask for each program's number
    bool line_number_given = false;                        // -n
    bool raw_output = false;                               // -o: PETSCII bytes go out unconverted
    const GlyphTable* glyph_table = &STANDARD_GLYPH_TABLE; // -a selects the block table
};

extern RunOptions run_options;
