#include "cli/text_report.h"

#include "cli/console.h"
#include "cli/file_report.h"
#include "petscii/glyph_tables.h"

namespace mog {

namespace {

// What --unicode shows for a control code, which must never reach the
// output as a control: a middle dot, or with -a a full block.
constexpr char32_t CONTROL_MARK = 0x00B7;
constexpr char32_t FULL_BLOCK = 0x2588;

std::string unicode_text(const unsigned char* petscii, std::size_t size, const RunOptions& options) {
    const char32_t control = options.petscii.table == &BLOCK_GLYPH_TABLE ? FULL_BLOCK : CONTROL_MARK;
    std::string text;
    for (std::size_t i = 0; i < size; ++i)
        append_utf8(text, is_petscii_control(petscii[i]) ? control : petscii_to_unicode(petscii[i]));
    return text;
}

std::string name_of(const ProgramRecord& program, const RunOptions& options) {
    return commodore_text(stdout, program.name.data(), program.name_size, options);
}

std::string text_of(const ProgramRecord& program, const unsigned char* bytes, const RunOptions& options) {
    return commodore_text(stdout, bytes + program.text_offset, program.text_size, options);
}

// A PRG or P00: the start line alone.
void print_start_line(const RunOptions& options, const PassResult& result, const unsigned char* bytes) {
    if (!options.view || result.programs.empty())
        return;
    const ProgramRecord& program = result.programs.front();
    say("%d SYS%s\n", static_cast<int>(program.line), text_of(program, bytes, options).c_str());
}

} // namespace

std::string commodore_text(std::FILE* stream, const unsigned char* petscii, std::size_t size,
                           const RunOptions& options) {
    if (options.unicode)
        return unicode_text(petscii, size, options);
    return shown(stream, convert_petscii_string(petscii, size, options.petscii));
}

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

void print_notices(const std::vector<Notice>& notices, std::size_t from, std::size_t to, const Container& container) {
    for (std::size_t i = from; i < to && i < notices.size(); ++i) {
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
        std::string name = name_of(program, options);
        if (options.view && program.start_line)
            say("%s [%i SYS%s]\n", name.c_str(), static_cast<int>(program.line),
                text_of(program, bytes, options).c_str());
        else if (options.view)
            say("%s \n", name.c_str());
        else if (program.written)
            say("Changed file '%s'.\n", name.c_str());
    }
}

Question line_number_question(const ProgramRecord& program, const RunOptions& options) {
    // Code page 850 text is shown as each stream shows it; Unicode text is
    // shown as it is.
    std::string name = options.unicode
                           ? unicode_text(program.name.data(), program.name_size, options)
                           : convert_petscii_string(program.name.data(), program.name_size, options.petscii);
    return {formatted("%s (%d): ", name.c_str(), static_cast<int>(program.line)),
            options.unicode ? TextOrigin::tool : TextOrigin::commodore};
}

void print_check(const std::string& file, const PassResult& result, const RunOptions& options) {
    const auto wanted = static_cast<unsigned>(options.line_number);
    const std::string shown_file = shown_name(stdout, file.c_str());
    for (const ProgramRecord& program : result.programs) {
        if (!lacks_number(program, wanted))
            continue;
        if (program.named)
            say("%s: '%s' has line %u, not %u.\n", shown_file.c_str(), name_of(program, options).c_str(), program.line,
                wanted);
        else
            say("%s: has line %u, not %u.\n", shown_file.c_str(), program.line, wanted);
    }
}

} // namespace mog
