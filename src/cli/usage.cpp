#include "cli/usage.h"

#include <cstring>

#include "cli/console.h"

void print_usage(const char* program_name) {
    say("Change start line of program to number given (e.g. current year).\n"
        "BASIC line must start with SYS and be located at $0801. \n"
        "(Version: 1.0.0)\n"
        "\n");
    say("%s [-n <num>] [-i] [-v] <src> [<dst>]\n", shown(stdout, program_name));
    // The second form lines up under the options of the first.
    say("%*c -examples\n", static_cast<int>(std::strlen(program_name)), ' ');
    say("\n"
        "<src> ........ Source d64/prg file \n"
        "<dst> ........ Destination d64/prg file (default: <src>.out.d64|prg) \n"
        "-n <num>...... Use num as line number \n"
        "-i ........... Interactive mode; ask for each prg within .d64 files\n"
        "-v ........... View content of a d64 file \n"
        "-examples .... Show examples \n"
        "\n"
        "Always provide the full file name including extension .d64/.prg\n");
}

void print_examples() {
    say("Examples:\n"
        "\n"
        "mog test.d64 \n"
        "Exchanges the lines of all programs with the one of the current year.\n"
        "\n"
        "mog test.prg\n"
        "Exchanges the line of the program 'test.prg' with the one of the current year.\n"
        "\n"
        "mog test.d64 -n 2000\n"
        "Exchanges the lines of all programs with 2000.\n"
        "\n"
        "mog test.d64 -i\n"
        "Asks for each program if the line number shall be replaced.\n"
        "\n"
        "mog -v test.d64 \n"
        "Show content of the disk including SYS lines if existing.\n");
}
