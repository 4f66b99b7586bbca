// Every container as a walk that yields its programs one by one, and
// collects what it finds wrong on the way.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "mog/container.h"

namespace mog {

// Something wrong with a container, found by its walk.
enum class NoticeKind {
    size_differs,        // a disk image whose size is not the format's standard one
    no_tape_signature,   // a tape without the "C64" signature; read all the same
    directory_broken,    // a directory link the walk could not follow
    not_p00,             // a P00 file without its header; it yields no program
    tape_cut,            // a tape whose entries' data lies beyond its end
    entry_outside_disk,  // a file whose first sector the disk does not have
    not_lynx,            // a file named as a Lynx archive without its signature; it yields no program
    lynx_unreadable,     // a Lynx directory entry that cannot be read; the walk ends before it
    lynx_sizes_disagree, // a Lynx entry's block count and last-block count do not go together
    lynx_cut,            // a Lynx entry whose data runs past the end of the file
    // A member of an archive that is kept as it is, and why.
    member_encrypted,
    member_method,          // size: the compression method, which mog does not read
    member_damaged,         // its local header or data cannot be found, or its data does not inflate
    member_too_large,       // larger than MAX_FILE_SIZE once inflated
    member_on_other_volume, // on another volume of a split archive
    member_crc_mismatch,    // its content does not give its CRC-32: listed, never written
    too_many_members,       // size: the members read; the others are not
};

struct Notice {
    NoticeKind kind;
    std::size_t size = 0;          // size_differs: the bytes read
    std::size_t standard_size = 0; // size_differs: the format's standard size
    int track = 0;                 // directory_broken: the link that could not be followed;
    int sector = 0;                // entry_outside_disk: the file's first sector
    std::size_t entry = 0;         // entry_outside_disk, lynx_*: the file of the directory, from 1
    std::size_t count = 0;         // tape_cut: the entries whose data lies beyond the end

    bool operator==(const Notice&) const = default;
};

// The CBM DOS file type byte of a closed PRG file, which tapes and one-program
// containers report for their programs.
constexpr unsigned char PRG_FILE_TYPE = 0x82;

// One program of a container, as the walk finds it. The spans lead into the
// walked bytes.
struct Program {
    std::size_t index = 0;                   // position in the walk, from 0
    bool named = false;                      // the container stores a name for the program
    std::span<const unsigned char> name;     // the stored PETSCII name field
    std::size_t name_length = 0;             // the name without the padding that fills its field
    unsigned char file_type = PRG_FILE_TYPE; // a directory entry's type byte
    bool has_load_address = false;           // false when the program's first bytes lie outside the file
    unsigned load_address = 0;
    std::span<unsigned char> line; // the first BASIC line, from its link bytes on, as far as the file goes
    std::size_t origin = 0;        // where the program's file starts in the container (a disk: its first sector)
};

// Where a walk over a container stands. What each container keeps to know
// its place is its own; a default or moved-from walk yields no program.
class ProgramWalk {
  public:
    struct State;

    ProgramWalk();
    ~ProgramWalk();
    ProgramWalk(ProgramWalk&&) noexcept;
    ProgramWalk& operator=(ProgramWalk&&) noexcept;

    // The notices found so far, in the order found.
    const std::vector<Notice>& notices() const;
    std::span<unsigned char> bytes() const;
    Container container() const;

  private:
    std::unique_ptr<State> state_;

    friend ProgramWalk start_program_walk(const Container& container, std::span<unsigned char> bytes);
    friend std::optional<Program> next_program(ProgramWalk& walk);
    friend std::size_t read_program_file(const ProgramWalk& walk, const Program& program, std::size_t offset,
                                         std::span<unsigned char> into);
};

// Starts a walk over the bytes of a container; the notices found at once
// (size, signature, header) are in the walk's notices. The bytes must stay
// in place while the walk and what it gives are used.
ProgramWalk start_program_walk(const Container& container, std::span<unsigned char> bytes);

// The next program, or nothing at the end. Directory entries in use count
// as programs whatever their file type; empty slots are passed over.
std::optional<Program> next_program(ProgramWalk& walk);

// Copies bytes of the program's file, as a PRG file holds it (its load
// address first), from the offset on: as many as fit into the span and the
// file has. On a disk the file's chain of sectors is followed, each link
// checked. Gives the bytes copied.
std::size_t read_program_file(const ProgramWalk& walk, const Program& program, std::size_t offset,
                              std::span<unsigned char> into);

} // namespace mog
