// The options of one run, as the argument walk finds them.
#pragma once

#include "image/container.h"
#include "petscii/petscii.h"

struct RunOptions {
    bool view = false;                   // -v: show, change nothing
    bool interactive = false;            // -i: ask for each program's number
    bool line_number_given = false;      // -n
    bool replace_without_asking = false; // -y: an existing destination is replaced
    long line_number = 0;                // the -n value
    PetsciiStyle petscii;                // -a selects the block table, -o raw output
    const char* source = nullptr;
    const char* destination = nullptr; // absent in view mode unless given
    bool destination_derived = false;  // the default, to be announced
    Container container;               // the source's kind
};
