#include "basic/prg.h"

#include <string>

#include "basic/sys_line.h"
#include "cli/failure.h"
#include "cli/run_options.h"
#include "cli/whole_file.h"

int handle_prg(unsigned char* buffer, std::size_t size, const char* destination, long line_number) {
    SysLine line{buffer, size};
    // The token is tested first: a file failing both reports the missing SYS.
    if (!has_sys_token(line))
        fail_with_usage(STATUS_BAD_START_LINE, "ERR: No SYS command where expected!");
    if (!match_sys_line(line))
        fail_with_usage(STATUS_BAD_START_LINE, "ERR: Unexpected startadress %02x%02x!", buffer[1], buffer[0]);

    if (run_options.view) {
        std::string text(sys_line_text_length(line) + 1, '\0');
        convert_sys_line_text(line, text.data());
        say("%d SYS%s\n", static_cast<int>(sys_line_number(line)), shown(stdout, text.c_str()));
        return 0;
    }
    set_sys_line_number(line, static_cast<unsigned>(line_number));
    return write_whole_file(buffer, destination, size);
}
