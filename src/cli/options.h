// What the command line asks for, as one value that is not changed after
// the arguments are read.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "mog/container.h"
#include "mog/petscii.h"
#include "mog/sources.h"

namespace mog {

enum class Mode {
    rewrite,     // set every start line's number
    view,        // -v: show, change nothing
    check,       // --check: change nothing, tell whether every line has the number
    interactive, // -i: ask for each program's number
};

enum class Scope {
    single,   // a source and its destination
    batch,    // --batch: every name a source, folders searched
    in_place, // --in-place: a batch that replaces each file it changes
};

enum class OutputFormat {
    text,
    json, // --json: JSON Lines on standard output instead of text
};

// How Commodore text is shown.
struct TextStyle {
    enum class Characters {
        code_page_850, // the console's own code page
        unicode,       // --unicode: the C64's characters as UTF-8
        raw,           // -o: the PETSCII bytes unconverted
    };
    Characters characters = Characters::code_page_850;
    bool full_blocks = false; // -a: control codes as full blocks

    PetsciiStyle petscii() const {
        return {full_blocks ? Glyphs::blocks : Glyphs::standard, characters == Characters::raw};
    }
};

struct Options {
    Mode mode = Mode::rewrite;
    Scope scope = Scope::single;
    OutputFormat format = OutputFormat::text;
    TextStyle style;
    std::vector<unsigned> basic_starts{0x0801}; // --machine: where start lines may load
    unsigned line_number = 0;                   // the -n value, or the year read once for the run
    bool line_number_given = false;             // -n
    bool replace_without_asking = false;        // -y
    bool quiet = false;                         // -q: only what the user must see
    bool start_line_optional = false;           // --allow-no-start-line: a check passes files without one
    bool textconv = false;                      // --textconv: a listing for git's diff that never fails
    std::vector<std::string> names;             // a batch's names, as given

    bool batch() const { return scope != Scope::single; }
    bool changes_files() const { return mode == Mode::rewrite || mode == Mode::interactive; }
};

// The source and destination of a run that is not a batch.
struct SingleTarget {
    std::string source;
    SourceName kind; // what the source's name stands for
    std::optional<std::string> destination; // absent in view mode unless given, and in a check
    bool destination_derived = false;       // the default, to be announced
};

} // namespace mog
