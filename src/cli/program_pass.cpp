#include "cli/program_pass.h"

#include <cstdio>
#include <string>

#include "cli/console.h"
#include "cli/line_prompt.h"
#include "image/program_walk.h"

namespace {

constexpr long MAX_LINE_NUMBER = 65535;

// The rest of a start line as console characters.
std::string line_text(const Program& program, PetsciiStyle style) {
    std::size_t length = sys_line_text_length(program.line);
    std::string text(length + 1, '\0');
    convert_petscii_string(text.data(), sys_line_text(program.line), length, style);
    text.resize(length);
    return text;
}

// A PRG or P00: its start line must be there, and is shown or set.
PassOutcome process_one_program(const RunOptions& options, ProgramWalk& walk, long line_number) {
    if (walk.header_missing)
        return {PassFailure::not_p00, 0};
    Program program;
    next_program(walk, program);
    // The token is tested first: a program failing both reports the missing SYS.
    if (!has_sys_token(program.line))
        return {PassFailure::no_sys_token, 0};
    if (!program.has_start_line)
        return {PassFailure::unexpected_load_address, program.line.load_address};
    if (options.view) {
        say("%d SYS%s\n", static_cast<int>(sys_line_number(program.line)),
            shown(stdout, line_text(program, options.petscii).c_str()));
        return {};
    }
    set_sys_line_number(program.line, static_cast<unsigned>(line_number));
    return {};
}

// The entry's name as console characters; with raw output a zero byte ends it.
std::string entry_name(const Program& program, PetsciiStyle style) {
    std::string name;
    for (std::size_t i = 0; i < program.name_size; ++i)
        name += static_cast<char>(petscii_to_console(program.name[i], style));
    return name;
}

// A container with a directory: every entry in use is listed, asked for or set.
void process_directory(const RunOptions& options, ProgramWalk& walk, long line_number) {
    if (options.interactive)
        ask("Enter line number for each program or <enter> for no change.\n\n");

    long value_to_write = line_number;
    Program program;
    while (next_program(walk, program)) {
        std::string name = entry_name(program, options.petscii);
        if (options.view)
            say("%s ", shown(stdout, name.c_str()));
        if (!program.has_start_line) {
            if (options.view)
                say("\n");
            continue;
        }
        int old_line_number = static_cast<int>(sys_line_number(program.line));
        if (options.view) {
            say("[%i SYS%s]\n", old_line_number, shown(stdout, line_text(program, options.petscii).c_str()));
            continue;
        }
        if (options.interactive) {
            char question[ENTRY_NAME_SIZE + 32];
            std::snprintf(question, sizeof question, "%s (%d): ", name.c_str(), old_line_number);
            long answer = ask_line_number(question, MAX_LINE_NUMBER);
            if (answer == NO_CHANGE)
                continue;
            value_to_write = answer;
        }
        set_sys_line_number(program.line, static_cast<unsigned>(value_to_write));
        if (!options.interactive)
            say("Changed file '%s'.\n", shown(stdout, name.c_str()));
    }
    // Entries beyond a damaged link are neither listed nor changed: say so.
    if (walk.directory.broken)
        say("WARNING: Directory chain broken at track %d sector %d.\n", walk.directory.broken_track,
            walk.directory.broken_sector);
}

} // namespace

PassOutcome process_programs(const RunOptions& options, unsigned char* buffer, std::size_t size, long line_number) {
    ProgramWalk walk = start_program_walk(options.container, buffer, size);
    if (holds_one_program(options.container))
        return process_one_program(options, walk, line_number);

    const DiskFormat* disk = options.container.disk;
    if (disk != nullptr && size != disk->standard_size)
        say("WARNING: Size of %s seems invalid. It is %lld but should be %lld.\n\n", disk->name,
            static_cast<long long>(size), static_cast<long long>(disk->standard_size));
    if (options.container.kind == ContainerKind::tape && walk.header_missing)
        say("WARNING: No T64 signature found.\n\n");
    process_directory(options, walk, line_number);
    return {};
}
