// The words for what the tool finds. Scripts and stored logs rely on these
// texts byte for byte, odd spellings included ("startadress").
#include "mog/describe.h"

#include <cstring>

#include "text/format.h"

namespace mog {

namespace {

std::string reason(int code) {
    switch (code) {
    case NOT_A_REGULAR_FILE:
        return "Not a regular file";
    case IS_A_LINK:
        return "Is a symbolic link";
    case FILE_CHANGED:
        return "It changed while being read";
    case FILE_BEING_WRITTEN:
        return "It is being written by another program";
    case FOLDER_CHANGED:
        return "A folder of its path was replaced";
    case ATTRIBUTES_NOT_KEPT:
        return "Its extended attributes cannot be kept";
    default:
        return std::strerror(code);
    }
}

} // namespace

std::string describe(const Notice& notice, const Container& container) {
    switch (notice.kind) {
    case NoticeKind::size_differs:
        return formatted("Size of %s seems invalid. It is %lld but should be %lld.",
                         std::string(container_name(container)).c_str(), static_cast<long long>(notice.size),
                         static_cast<long long>(notice.standard_size));
    case NoticeKind::no_tape_signature:
        return "No T64 signature found.";
    case NoticeKind::directory_broken:
        return formatted("Directory chain broken at track %d sector %d.", notice.track, notice.sector);
    case NoticeKind::not_p00:
        return "";
    }
    return "";
}

std::string describe(PassFailure failure, const PassResult& result) {
    switch (failure) {
    case PassFailure::none:
        return "";
    case PassFailure::unusable_bytes:
        return "No program found.";
    case PassFailure::not_p00:
        return "Not a P00 file!";
    case PassFailure::no_sys_token:
        return "No SYS command where expected!";
    case PassFailure::unexpected_load_address: {
        const unsigned address = result.programs.empty() ? 0 : result.programs.front().load_address;
        return formatted("Unexpected startadress %02x%02x!", address >> 8, address & 0xFF);
    }
    case PassFailure::line_number_too_high:
        return formatted("Line number above %u.", MAX_LINE_NUMBER);
    }
    return "";
}

std::string describe(const FileError& error) {
    switch (error.step) {
    case FileStep::find:
        return formatted("File '%s' not found.", error.name.c_str());
    case FileStep::read:
        return formatted("Cannot read file '%s': %s.", error.name.c_str(), reason(error.code).c_str());
    case FileStep::write:
        return formatted("Cannot write file '%s': %s.", error.name.c_str(), reason(error.code).c_str());
    }
    return "";
}

std::string describe_unknown_kind() {
    return "Unknown extension of source file.";
}

std::string describe(const BasicStarts& list) {
    if (!list.unknown_item)
        return "";
    std::string names;
    for (const Machine& machine : machines())
        names += std::string(machine.name) + ", ";
    names += ALL_MACHINES;
    return formatted("Unknown machine '%s' for --machine (valid: %s).", list.unknown_item->c_str(), names.c_str());
}

int exit_status(PassFailure failure) {
    switch (failure) {
    case PassFailure::none:
        return STATUS_SUCCESS;
    case PassFailure::line_number_too_high:
        return STATUS_BAD_COMMAND_LINE;
    default:
        return STATUS_BAD_START_LINE;
    }
}

int exit_status(const FileError& error) {
    return error.step == FileStep::find ? STATUS_BAD_COMMAND_LINE : STATUS_FILE_ERROR;
}

} // namespace mog
