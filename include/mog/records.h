// The records mog --json writes, one JSON object per line, for every front
// end that gives the same records: the program's fields and the file's.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "mog/container.h"
#include "mog/pass.h"

namespace mog {

// Text as a JSON string: every control character (U+0000-U+001F, U+007F,
// U+0080-U+009F) as \u00XX, and each byte that is no valid UTF-8 as U+FFFD.
std::string json_string(std::string_view text);

// The file type a directory entry's type byte names ("del", "seq", "prg",
// "usr", "rel", "cbm"); types no drive writes (6 and 7) show as "del".
std::string_view file_type_name(unsigned char type);

// The program's name as Unicode text, its padding left out.
std::string program_name_text(const ProgramRecord& program);

// The rest of the start line after SYS as Unicode text; the bytes are the
// container's the pass ran over.
std::string program_line_text(const ProgramRecord& program, std::span<const unsigned char> bytes);

// The record of one program of a file. new_line is the number written to
// the file, when it was written and changed the line.
std::string program_record(std::string_view file, const ProgramRecord& program, std::span<const unsigned char> bytes,
                           bool written);

// What the record of a whole file holds besides its programs.
struct FileFacts {
    std::string_view file;
    std::optional<Container> container; // none for a name of no kind mog reads
    std::size_t size = 0;               // bytes read
    std::optional<std::string> written; // the name written to
    std::vector<std::string> warnings;
    std::optional<std::string> error; // without its "ERROR: "
    int status = 0;
};

// The record of the file, after its programs'.
std::string file_record(const FileFacts& facts, const PassResult& result);

} // namespace mog
