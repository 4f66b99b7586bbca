// The words for what the tool finds. Scripts and stored logs rely on these
// texts byte for byte, odd spellings included ("startadress").
#include "mog/describe.h"

#include <cstring>

#include "mog/sources.h"
#include "text/format.h"

namespace mog {

namespace {

std::string reason(int code) {
    switch (code) {
    case NOT_A_REGULAR_FILE:
        return "Not a regular file";
    case IS_A_LINK:
        return "Is a symbolic link";
    case NOT_A_ZIP:
        return "Not a zip archive";
    case NOT_A_GZIP:
        return "Not a gzip file";
    case ARCHIVE_DAMAGED:
        return "The archive is damaged";
    case ARCHIVE_SPLIT:
        return "The archive is split over several volumes";
    case ARCHIVE_OF_SEVERAL:
        return "The gzip file holds more than one file";
    case ARCHIVE_UNSUPPORTED:
        return "Archives cannot be read here";
    case INFLATED_TOO_LARGE:
        return "Larger than 16 MiB once inflated";
    case ARCHIVE_NOT_WRITTEN:
        return "The archive cannot be written back as it was";
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
    case NoticeKind::tape_cut:
        return formatted("Tape cut short: the data of %llu entr%s lies beyond its end.",
                         static_cast<unsigned long long>(notice.count), notice.count == 1 ? "y" : "ies");
    case NoticeKind::entry_outside_disk:
        return formatted("File %llu starts at track %d sector %d, outside the disk.",
                         static_cast<unsigned long long>(notice.entry), notice.track, notice.sector);
    case NoticeKind::lynx_unreadable:
        return formatted("Lynx archive damaged: entry %llu of its directory cannot be read.",
                         static_cast<unsigned long long>(notice.entry));
    case NoticeKind::lynx_sizes_disagree:
        return formatted("Lynx archive damaged: the sizes of entry %llu disagree.",
                         static_cast<unsigned long long>(notice.entry));
    case NoticeKind::lynx_cut:
        return formatted("Lynx archive damaged: entry %llu runs past the end of the file.",
                         static_cast<unsigned long long>(notice.entry));
    case NoticeKind::not_p00:
    case NoticeKind::not_lynx:
        return "";
    case NoticeKind::member_encrypted:
        return "Encrypted: kept as it is.";
    case NoticeKind::member_method:
        return formatted("Compressed with method %lld, which mog does not read: kept as it is.",
                         static_cast<long long>(notice.size));
    case NoticeKind::member_damaged:
        return "Damaged in the archive: kept as it is.";
    case NoticeKind::member_too_large:
        return formatted("Larger than %lld bytes once inflated: kept as it is.",
                         static_cast<long long>(MAX_FILE_SIZE));
    case NoticeKind::member_on_other_volume:
        return "On another volume of a split archive: kept as it is.";
    case NoticeKind::member_crc_mismatch:
        return "Its CRC-32 does not match its content: kept as it is.";
    case NoticeKind::too_many_members:
        return formatted("More than %lld files in the archive: the others are not read.",
                         static_cast<long long>(notice.size));
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
    case PassFailure::not_lynx:
        return "Not a Lynx archive!";
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

std::string describe_not_settable(const ProgramRecord& program) {
    if (program.settable())
        return "";
    if (program.archive == Archive::sda)
        return "Self-dissolving archive: its line number tells where the archive starts, so it is kept.";
    if (!program.has_load_address)
        return "Its first bytes lie outside the file.";
    if (!program.sys_token)
        return describe(PassFailure::no_sys_token, PassResult{});
    PassResult alone;
    alone.programs.push_back(program);
    std::string reason = describe(PassFailure::unexpected_load_address, alone);
    const std::vector<std::string_view> machines = machines_starting_at(program.load_address);
    for (std::size_t i = 0; i < machines.size(); ++i)
        reason.append(i == 0 ? " BASIC starts there on: " : ", ").append(machines[i]);
    return machines.empty() ? reason : reason + ".";
}

std::string describe_no_start_line() {
    return "No start line.";
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
