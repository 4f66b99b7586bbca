// Every container as a walk that yields its programs one by one, and
// collects what it finds wrong on the way.
#pragma once

#include <cstddef>
#include <vector>

#include "mog/container.h"

namespace mog {

// Something wrong with a container, found by its walk.
enum class NoticeKind {
    size_differs,      // a disk image whose size is not the format's standard one
    no_tape_signature, // a tape without the "C64" signature; read all the same
    directory_broken,  // a directory link the walk could not follow
    not_p00,           // a P00 file without its header; it yields no program
};

struct Notice {
    NoticeKind kind;
    std::size_t size = 0;          // size_differs: the bytes read
    std::size_t standard_size = 0; // size_differs: the format's standard size
    int track = 0;                 // directory_broken: the link that could not be followed
    int sector = 0;
};

// The CBM DOS file type byte of a closed PRG file, which tapes and one-program
// containers report for their programs.
constexpr unsigned char PRG_FILE_TYPE = 0x82;

// One program of a container, as the walk finds it. The pointers lead into
// the walked bytes.
struct Program {
    std::size_t index = 0;               // position in the walk, from 0
    const unsigned char* name = nullptr; // the stored PETSCII name; null when the container names none
    std::size_t name_size = 0;
    std::size_t name_length = 0;             // the name without the padding that fills its field
    unsigned char file_type = PRG_FILE_TYPE; // a directory entry's type byte
    bool has_load_address = false;           // false when the program's first bytes lie outside the file
    unsigned load_address = 0;
    unsigned char* line = nullptr; // the first BASIC line, from its link bytes on
    std::size_t line_size = 0;     // bytes of it that belong to the program and lie within the file
};

// Where a walk stands. Each container keeps its own place in the fields it
// needs; callers only start the walk and ask for the next program.
struct ProgramWalk {
    Container container;
    unsigned char* bytes = nullptr;
    std::size_t size = 0;
    std::vector<Notice> notices; // in the order found
    std::size_t given = 0;       // programs given so far
    bool ended = false;
    std::size_t at = 0;         // a disk's directory sector, a tape's next entry
    std::size_t end = 0;        // a tape's entries to visit
    std::size_t next_entry = 0; // the entry of a disk's directory sector to give next
    std::vector<bool> visited;  // a disk's sectors already visited, to stop loops
};

// Starts a walk over the bytes of a container; the notices found at once
// (size, signature, header) are in the walk's notices. The bytes must stay
// in place while the walk and what it gives are used.
ProgramWalk start_program_walk(const Container& container, unsigned char* bytes, std::size_t size);

// The next program, or false at the end. Directory entries in use count as
// programs whatever their file type; empty slots are passed over.
bool next_program(ProgramWalk& walk, Program& program);

} // namespace mog
