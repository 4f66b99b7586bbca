// The words and exit statuses the tool gives to what it finds, for every
// front end to say the same.
#pragma once

#include <string>

#include "mog/container.h"
#include "mog/files.h"
#include "mog/machines.h"
#include "mog/pass.h"
#include "mog/walk.h"

namespace mog {

// Exit statuses of the tool.
constexpr int STATUS_SUCCESS = 0;
constexpr int STATUS_BAD_COMMAND_LINE = 1; // also a source that is not there
constexpr int STATUS_BAD_START_LINE = 2;   // a one-program file without its start line, or not of its kind
constexpr int STATUS_FILE_ERROR = 3;       // a file that cannot be read or written
constexpr int STATUS_CHECK_FAILED = 4;     // a check found a start line without the number, or nothing to check
constexpr int STATUS_OVERWRITE_REFUSED = 5;

// What a notice tells the user, without "WARNING: "; empty for a notice
// that a failure reports instead (a P00 file without its header, a Lynx
// archive without its signature).
std::string describe(const Notice& notice, const Container& container);

// What a failed pass tells the user, without "ERR: "; empty for none.
std::string describe(PassFailure failure, const PassResult& result);

// What a file error tells the user, without "ERROR: ".
std::string describe(const FileError& error);

// What a name of no kind mog reads tells the user.
std::string describe_unknown_kind();

// Why a program's start line number cannot be set, in the tool's words
// where it has them; empty for a start line that may be set.
std::string describe_not_settable(const ProgramRecord& program);

// What a file in which no start line was found tells the user.
std::string describe_no_start_line();

// What a machine list with an item that names no machine tells the user,
// without "ERROR: "; empty for a good list.
std::string describe(const BasicStarts& list);

// The status the tool ends with for each.
int exit_status(PassFailure failure);
int exit_status(const FileError& error);

} // namespace mog
