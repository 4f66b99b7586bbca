#include "cli/run_sequence.h"

#include <cstring>

#include "basic/prg.h"
#include "cli/command_line.h"
#include "cli/failure.h"
#include "cli/overwrite_guard.h"
#include "cli/run_options.h"
#include "cli/usage.h"
#include "cli/whole_file.h"
#include "d64/directory_pass.h"
#include "platform/console_output.h"
#include "platform/local_year.h"

void run_sequence(int argc, char** argv) {
    console_init();
    if (argc <= 1) {
        print_usage(argc == 1 && argv[0] != nullptr ? argv[0] : "");
        end_process(STATUS_SUCCESS);
    }

    CommandLine command_line = walk_arguments(argc, argv);
    check_command_line(command_line);
    if (command_line.destination != nullptr)
        guard_overwrite(command_line.destination);

    static ImageBuffer image; // held until the process ends
    image = read_whole_file(command_line.source);
    if (image.bytes == nullptr)
        fail_without_usage(STATUS_FILE_ERROR, "ERROR: Cannot read file '%s': %s.", shown(stderr, command_line.source),
                           std::strerror(image.error));

    long line_number = command_line.line_number;
    if (!run_options.line_number_given) {
        line_number = local_year();
        say("Current year: %i\n", static_cast<int>(line_number));
    }

    int write_error = 0;
    if (command_line.kind == SourceKind::prg)
        write_error = handle_prg(image.bytes, image.size, command_line.destination, line_number);
    else
        write_error = handle_d64(image.bytes, image.size, command_line.destination, line_number);
    if (write_error != 0)
        fail_without_usage(STATUS_FILE_ERROR, "ERROR: Cannot write file '%s': %s.",
                           shown(stderr, command_line.destination), std::strerror(write_error));

    say("Done.\n");
    end_process(STATUS_SUCCESS);
}
