// What a program and a file show, made in one place for every front end:
// the view of a program (its fields as text and numbers) and the records
// mog --json writes from it, one JSON object per line.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "mog/container.h"
#include "mog/json.h"
#include "mog/pass.h"

namespace mog {

// The file type a directory entry's type byte names ("del", "seq", "prg",
// "usr", "rel", "cbm"); types no drive writes (6 and 7) show as "del".
std::string_view file_type_name(unsigned char type);

// The program's name as Unicode text, its padding left out; at most the
// name's field is read, whatever the record says.
std::string program_name_text(const ProgramRecord& program);

// The rest of the start line after SYS as Unicode text; the bytes are the
// container's the pass ran over.
std::string program_line_text(const ProgramRecord& program, std::span<const unsigned char> bytes);

// A program as every front end shows it. Its texts are copies: it stays
// whole when the container's bytes are gone.
struct ProgramView {
    std::size_t index = 0;
    std::optional<std::string> name;         // Unicode text without padding; none when the container names none
    std::optional<std::string> name_petscii; // the stored name field's bytes
    std::string_view type;                   // file_type_name of the type byte
    std::optional<unsigned> load_address;    // none when the program's first bytes lie outside the file
    bool start_line = false;
    std::optional<unsigned> line;            // the start line's number before the run
    std::optional<std::string> text;         // the rest of the start line after SYS, as Unicode text
    std::optional<std::string> text_petscii; // its bytes
    std::optional<unsigned> new_line;        // the number this run wrote, where it changed the line
    std::vector<std::string_view> machines;  // those whose BASIC starts at the load address
    std::optional<std::string_view> archive; // "sda": the stub of a self-dissolving archive, never set
    bool settable = false;                   // a start line whose number a pass may set
    std::optional<std::string> not_settable; // why a program's number cannot be set, in the tool's words
    std::optional<std::size_t> shares_with;  // the index of an earlier entry whose start line this one is
};

// The view of a program the pass recorded. written: the run wrote the file,
// so a changed line's new number is shown.
ProgramView program_view(const ProgramRecord& program, std::span<const unsigned char> bytes, bool written);

// Where a program or file lies: a file, or a member of an archive.
struct RecordName {
    RecordName(std::string_view file_name, std::optional<std::string_view> member_name = std::nullopt)
        : file(file_name), member(member_name) {}

    std::string_view file;                  // as shown: a member as "archive.zip!disks/game.d64"
    std::optional<std::string_view> member; // the member's name within its archive
};

// The record of one program of a file.
std::string program_record(const RecordName& name, const ProgramView& view);
std::string program_record(const RecordName& name, const ProgramRecord& program, std::span<const unsigned char> bytes,
                           bool written);

// What the record of a whole file holds besides its programs.
struct FileFacts {
    std::string_view file;
    std::optional<std::string_view> member; // a member of an archive: its name within it
    std::optional<Container> container;     // none for a name of no kind mog reads
    std::size_t size = 0;                   // bytes read
    std::optional<std::string> written;     // the name written to
    std::vector<std::string> warnings;
    std::optional<std::string> error; // without its "ERROR: "
    // The CRC-32 and SHA-1 of the bytes as read and as written, in hex.
    std::optional<std::string> crc32, sha1, new_crc32, new_sha1;
    int status = 0;
};

// The record of the file, after its programs'.
std::string file_record(const FileFacts& facts, const PassResult& result);

} // namespace mog
