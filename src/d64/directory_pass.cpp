#include "d64/directory_pass.h"

#include <cstdio>

#include "basic/sys_line.h"
#include "cli/console.h"
#include "cli/run_options.h"
#include "cli/whole_file.h"
#include "d64/geometry.h"
#include "d64/line_prompt.h"
#include "petscii/code_page_850.h"
#include "petscii/petscii.h"

namespace {

constexpr long MAX_LINE_NUMBER = 65535;

// The entry's name as console characters; with raw output a zero byte ends it.
void convert_entry_name(const unsigned char* entry, char* name) {
    for (std::size_t i = 0; i < ENTRY_NAME_SIZE; ++i)
        name[i] = static_cast<char>(petscii_to_console(entry[ENTRY_NAME + i]));
    name[ENTRY_NAME_SIZE] = '\0';
}

// The start line at the beginning of the entry's first data sector, if that
// sector lies within the bytes read and holds one at $0801.
bool find_start_line(unsigned char* buffer, std::size_t size, const unsigned char* entry, SysLine& line) {
    unsigned char* sector = find_sector(buffer, size, entry[ENTRY_FIRST_TRACK], entry[ENTRY_FIRST_SECTOR]);
    if (sector == nullptr)
        return false;
    line = SysLine{sector + SECTOR_DATA, SECTOR_SIZE - SECTOR_DATA};
    return match_sys_line(line);
}

} // namespace

void process_directory(unsigned char* buffer, std::size_t size, long line_number) {
    if (run_options.interactive)
        say("Enter line number for each program or <enter> for no change.\n\n");

    long value_to_write = line_number;
    DirectoryWalk walk = start_directory_walk(buffer, size);
    while (unsigned char* entry = next_directory_entry(walk)) {
        if (entry[ENTRY_FILE_TYPE] == 0)
            continue;
        char name[ENTRY_NAME_SIZE + 1];
        convert_entry_name(entry, name);
        if (run_options.view)
            say("%s ", shown(stdout, name));

        SysLine line{};
        if (!find_start_line(buffer, size, entry, line)) {
            if (run_options.view)
                say("\n");
            continue;
        }
        int old_line_number = static_cast<int>(sys_line_number(line));
        if (run_options.view) {
            // The rest of a line ends with its sector at the latest.
            char text[SECTOR_SIZE - SECTOR_DATA - SYS_LINE_TEXT + 1];
            convert_sys_line_text(line, text);
            say("[%i SYS%s]\n", old_line_number, shown(stdout, text));
            continue;
        }
        if (run_options.interactive) {
            char question[ENTRY_NAME_SIZE * MAX_GLYPH_BYTES + 32];
            std::snprintf(question, sizeof question, "%s (%d): ", shown(stdout, name), old_line_number);
            long answer = ask_line_number(question, MAX_LINE_NUMBER);
            if (answer == NO_CHANGE)
                continue;
            value_to_write = answer;
        }
        set_sys_line_number(line, static_cast<unsigned>(value_to_write));
        if (!run_options.interactive)
            say("Changed file '%s'.\n", shown(stdout, name));
    }
}

int handle_d64(unsigned char* buffer, std::size_t size, const char* destination, long line_number) {
    if (size != D64_IMAGE_SIZE)
        say("WARNING: Size of d64 seems invalid. It is %lld but should be %lld.\n\n", static_cast<long long>(size),
            static_cast<long long>(D64_IMAGE_SIZE));
    process_directory(buffer, size, line_number);
    if (run_options.view)
        return 0;
    return write_whole_file(buffer, destination, size);
}
