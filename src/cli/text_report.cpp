#include "cli/text_report.h"

#include "cli/console.h"

namespace mog {

namespace {

std::string name_of(const ProgramRecord& program, PetsciiStyle style) {
    return convert_petscii_string(program.name.data(), program.name_size, style);
}

std::string text_of(const ProgramRecord& program, const unsigned char* bytes, PetsciiStyle style) {
    return convert_petscii_string(bytes + program.text_offset, program.text_size, style);
}

// A PRG or P00: the start line alone.
void print_start_line(const RunOptions& options, const PassResult& result, const unsigned char* bytes) {
    if (!options.view || result.programs.empty())
        return;
    const ProgramRecord& program = result.programs.front();
    say("%d SYS%s\n", static_cast<int>(program.line), shown(stdout, text_of(program, bytes, options.petscii)).c_str());
}

} // namespace

std::string notice_words(const Notice& notice, const Container& container) {
    switch (notice.kind) {
    case NoticeKind::size_differs:
        return formatted("Size of %s seems invalid. It is %lld but should be %lld.", container_name(container),
                         static_cast<long long>(notice.size), static_cast<long long>(notice.standard_size));
    case NoticeKind::no_tape_signature:
        return "No T64 signature found.";
    case NoticeKind::directory_broken:
        return formatted("Directory chain broken at track %d sector %d.", notice.track, notice.sector);
    case NoticeKind::not_p00:
        return "";
    }
    return "";
}

void print_notices(const std::vector<Notice>& notices, std::size_t from, const Container& container) {
    for (std::size_t i = from; i < notices.size(); ++i) {
        std::string words = notice_words(notices[i], container);
        if (words.empty())
            continue;
        // Warnings about the whole file stand apart from the listing below them.
        bool about_the_file = notices[i].kind != NoticeKind::directory_broken;
        say("WARNING: %s\n%s", words.c_str(), about_the_file ? "\n" : "");
    }
}

void print_programs(const RunOptions& options, const PassResult& result, const unsigned char* bytes) {
    if (!has_directory(options.container)) {
        print_start_line(options, result, bytes);
        return;
    }
    if (options.interactive)
        return;
    for (const ProgramRecord& program : result.programs) {
        std::string name = shown(stdout, name_of(program, options.petscii));
        if (options.view && program.start_line)
            say("%s [%i SYS%s]\n", name.c_str(), static_cast<int>(program.line),
                shown(stdout, text_of(program, bytes, options.petscii)).c_str());
        else if (options.view)
            say("%s \n", name.c_str());
        else if (program.written)
            say("Changed file '%s'.\n", name.c_str());
    }
}

std::string line_number_question(const ProgramRecord& program, PetsciiStyle style) {
    return formatted("%s (%d): ", name_of(program, style).c_str(), static_cast<int>(program.line));
}

} // namespace mog
