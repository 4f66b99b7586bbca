#include "cli/texts.h"

#include <cstring>
#include <string>

#include "cli/console.h"
#include "image/container_kind.h"
#include "mog/machines.h"
#include "mog/version.h"
#include "platform/manual.h"

namespace mog {

void print_usage(const char* program_name) {
    say("Change start line of program to number given (e.g. current year).\n"
        "BASIC line must start with SYS and be located at $0801. \n"
        "(Version: 1.0.0)\n"
        "\n");
    say("%s [-n <num>] [-i] [-v] <src> [<dst>]\n", shown_name(stdout, program_name).c_str());
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

void print_help() {
    say("mog " MOG_VERSION_STRING ": sets the line number of the BASIC start line of Commodore 64\n"
        "programs (such as 10 SYS2061 at $0801), by default to the current year.\n"
        "\n"
        "Usage: mog [options] <src> [<dst>]\n"
        "       mog --batch|--in-place [options] <name>...\n"
        "\n"
        "Options:\n"
        "  -n <num>     use num (0 to 65535) as the line number instead of the year\n"
        "  -i           interactive: ask for each program of a disk image or tape\n"
        "  -v           view: show the start lines, change nothing\n"
        "  -a           show PETSCII control codes as full blocks\n"
        "  -o           raw output: PETSCII bytes unconverted\n"
        "  -y           replace an existing destination without asking\n"
        "  -q, --quiet  print only warnings, errors, questions, listings and what a\n"
        "               check finds: no destination, year, \"Done.\" or unchanged files\n"
        "  --json       JSON Lines on standard output: one object per program and\n"
        "               per file (and a summary after a batch), no other text\n"
        "  --unicode    show PETSCII as the C64's own characters in UTF-8, control\n"
        "               codes as a middle dot, instead of code page 850\n"
        "  --check      change nothing: list each start line without the number\n"
        "               (the year without -n), each file without a start line and\n"
        "               each warning, and end with status 4 if there is one or if\n"
        "               no file was found to check\n"
        "  --allow-no-start-line  with --check, pass files without a start line\n"
        "               (data, BASIC); lacking numbers and damaged files still fail\n"
        "  --batch      every name is a source (no <dst>); folders are searched for\n"
        "               the kinds below; each changed file goes to <name>.out.<ext>\n"
        "  --in-place   a batch that replaces each file whose start lines change\n"
        "  --machine L  take start lines where BASIC starts on the machines of the\n"
        "               comma-separated list L (default c64; the machines below)\n"
        "  -examples, --examples  show examples\n"
        "  -h, --help   show this help\n"
        "  --version    show the version\n"
        "  --textconv F list the file F for git's diff (as -q -v --unicode) and end\n"
        "               with status 0 whatever it holds: what cannot be listed is\n"
        "               named in one line; F may start with -\n"
        "  --           end of options: every later argument is a file name\n"
        "\n"
        "Letters go together (-vy, -ay); -n takes its number attached (-n2026) or as\n"
        "the next argument, --machine takes --machine=L too.\n"
        "\n"
        "Source kinds, by the extension of <src> (letter case does not matter):\n");
    for (const ContainerKind* kind : CONTAINER_KINDS) {
        for (const DiskFormat& format : kind->formats)
            say("  .%-12san image of a %s disk\n", format.name, format.drive);
        if (kind->help_extensions != nullptr)
            say("  %-13s%s\n", kind->help_extensions, kind->help_text);
    }
    say("  .zip         a zip archive: each member of the kinds above\n"
        "  .<kind>.gz   one file of the kinds above, gzipped (game.d64.gz)\n"
        "  1!NAME-4!NAME  the four parts of a Zip-Code set: one 1541 disk\n");
    say("\n"
        "Machines for --machine, and where their BASIC programs start:\n");
    for (const Machine& machine : machines()) {
        std::string starts;
        for (const BasicStart& start : machine.starts) {
            starts += formatted("%s$%04X", starts.empty() ? "" : ", ", start.address);
            if (!start.when.empty()) {
                starts += ' ';
                starts += start.when;
            }
        }
        say("  %-13s%s: %s\n", std::string(machine.name).c_str(), std::string(machine.description).c_str(),
            starts.c_str());
    }
    say("  %-13severy machine above\n", std::string(ALL_MACHINES).c_str());
    say("\n"
        "Without --batch a second name is the destination, replaced after a\n"
        "question. In a batch only files whose line numbers change are written;\n"
        "each file gets a line, then one sums them up. Folders are searched\n"
        "without following links, and a link as a destination is never written.\n"
        "\n"
        "A start line whose number tells where a self-dissolving archive starts\n"
        "behind it is data: it is never changed.\n"
        "\n"
        "<dst> must be of the same kind. Default: <src> with .out and the\n"
        "extension in lower case in place of its extension (game.D81 gives\n"
        "game.out.d81, game.d64.gz gives game.out.d64.gz, 1!zc gives 1!zc.out).\n"
        "\n"
        "Standard input: when <dst> exists, y or Y replaces it (one key at a\n"
        "terminal, otherwise the first character of one line). With -i each\n"
        "further line answers one program; an empty line or the end of input\n"
        "keeps its line number.\n"
        "\n"
        "Exit status: 0 success; 1 bad command line or missing source; 2 start\n"
        "line not SYS where BASIC starts, or not a P00 file or Lynx archive; 3\n"
        "source not readable, destination or output not writable, or a file that\n"
        "changed while being read; 4 --check found a start line without the\n"
        "number, a file without a start line or with a warning, or no file;\n"
        "5 replacing <dst> declined. A check ends with 0, 1, 3 or 4.\n"
        "\n"
        "See %s for more.\n",
        manual_reference());
}

void print_version() {
    say("mog " MOG_VERSION_STRING "\n");
}

} // namespace mog
