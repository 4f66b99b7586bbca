#include "sources/zip_write.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <optional>
#include <vector>

#include "basic/little_endian.h"
#include "sources/deflate.h"
#include "sources/zip_layout.h"

namespace mog {

namespace {

// What a replaced member's records must say of it.
struct NewValues {
    std::uint32_t crc32 = 0;
    std::uint64_t compressed_size = 0;
    std::uint64_t uncompressed_size = 0;
};

void append(Bytes& out, std::span<const unsigned char> archive, std::size_t from, std::size_t to) {
    out.insert(out.end(), archive.begin() + static_cast<std::ptrdiff_t>(from),
               archive.begin() + static_cast<std::ptrdiff_t>(to));
}

// Where a member's local header, data and data descriptor end.
std::size_t member_end(const ZipMember& member) {
    return member.data_offset + static_cast<std::size_t>(member.compressed_size) + member.descriptor_size;
}

bool copyable(const ZipMember& member) {
    return member.problem != ZipMemberProblem::other_volume && member.problem != ZipMemberProblem::bad_local_header &&
           member.problem != ZipMemberProblem::data_outside;
}

// Whether what the directory says of where things lie holds in archive: a
// directory read from other bytes must not take the writer outside these.
bool directory_matches(std::span<const unsigned char> archive, const ZipDirectory& directory) {
    const std::size_t records_end = directory.zip64 ? directory.zip64_end_offset : directory.end_offset;
    if (!lies_within(directory.end_offset, END_RECORD_SIZE, archive.size()) ||
        !lies_within(directory.directory_offset, directory.directory_size, records_end) ||
        directory.shift > directory.directory_offset)
        return false;
    if (directory.zip64 && (!lies_within(directory.zip64_end_offset, ZIP64_END_SIZE, directory.zip64_locator_offset) ||
                            !lies_within(directory.zip64_locator_offset, ZIP64_LOCATOR_SIZE, directory.end_offset)))
        return false;
    for (std::size_t i = 0; i < directory.members.size(); ++i) {
        const ZipMember& member = directory.members[i];
        if (member.index != i || member.central_offset < directory.directory_offset ||
            member.central_size < CENTRAL_HEADER_SIZE ||
            !lies_within(member.central_offset, member.central_size, records_end))
            return false;
        if (copyable(member) &&
            (member.data_offset < member.local_offset || member.data_offset - member.local_offset < LOCAL_HEADER_SIZE ||
             !lies_within(member.data_offset, member.compressed_size, directory.directory_offset) ||
             !lies_within(member.data_offset + member.compressed_size, member.descriptor_size,
                          directory.directory_offset)))
            return false;
    }
    return true;
}

// A recorded offset of something that moved from `from` to `to`; nothing
// when the record could not have been right.
std::optional<std::uint64_t> moved(std::uint64_t recorded, std::size_t from, std::size_t to) {
    if (to >= from)
        return to - from <= std::numeric_limits<std::uint64_t>::max() - recorded
                   ? std::optional<std::uint64_t>(recorded + (to - from))
                   : std::nullopt;
    return from - to <= recorded ? std::optional<std::uint64_t>(recorded - (from - to)) : std::nullopt;
}

// Puts value in a 32-bit size or offset field or, when the field is marked
// for ZIP64, in its place in the extra field; a marked field without one
// is left to the other records. A local header that leaves a value to the
// data descriptor keeps its zero. False when the value does not fit.
bool put_value(unsigned char* field, const std::optional<std::size_t>& place, unsigned char* extra, std::uint64_t value,
               bool zero_kept = false) {
    const std::uint32_t old = read_le32(field);
    if (old == ZIP64_MARK) {
        if (place)
            write_le64(extra + *place, value);
        return true;
    }
    if (zero_kept && old == 0)
        return true;
    if (value >= ZIP64_MARK)
        return false;
    write_le32(field, static_cast<std::uint32_t>(value));
    return true;
}

int deflate_level(unsigned flags) {
    switch ((flags >> ZIP_DEFLATE_SPEED_SHIFT) & ZIP_DEFLATE_SPEED_MASK) {
    case 1:
        return BEST_DEFLATE_LEVEL;
    case 2: // fast
    case 3: // super fast
        return FASTEST_DEFLATE_LEVEL;
    default:
        return DEFAULT_DEFLATE_LEVEL;
    }
}

// A data descriptor in the form member had: with or without its
// signature, 32 or 64-bit sizes.
ZipWriteResult append_descriptor(const ZipMember& member, const NewValues& values, Bytes& out) {
    const std::size_t form = member.descriptor_size;
    const bool signed_form =
        form == DESCRIPTOR_SIZE_32 + ZIP_SIGNATURE_SIZE || form == DESCRIPTOR_SIZE_64 + ZIP_SIGNATURE_SIZE;
    const bool wide = form == DESCRIPTOR_SIZE_64 || form == DESCRIPTOR_SIZE_64 + ZIP_SIGNATURE_SIZE;
    constexpr std::uint64_t narrow_limit = std::numeric_limits<std::uint32_t>::max();
    if (!wide && (values.compressed_size > narrow_limit || values.uncompressed_size > narrow_limit))
        return ZipWriteResult::needs_zip64;
    unsigned char bytes[DESCRIPTOR_SIZE_64 + ZIP_SIGNATURE_SIZE];
    std::size_t at = 0;
    if (signed_form) {
        write_le32(bytes, ZIP_DESCRIPTOR_SIGNATURE);
        at += ZIP_SIGNATURE_SIZE;
    }
    write_le32(bytes + at, values.crc32);
    at += 4;
    for (const std::uint64_t size : {values.compressed_size, values.uncompressed_size}) {
        if (wide)
            write_le64(bytes + at, size);
        else
            write_le32(bytes + at, static_cast<std::uint32_t>(size));
        at += wide ? 8 : 4;
    }
    out.insert(out.end(), bytes, bytes + at);
    return ZipWriteResult::ok;
}

// Writes member anew around content: its local header with the new CRC-32
// and sizes, the content stored or deflated as the member was, and its
// data descriptor if it had one. A member flagged for a descriptor that
// has none gets none: its form is unknown, and nothing else changes.
ZipWriteResult write_member(std::span<const unsigned char> archive, const ZipMember& member,
                            std::span<const unsigned char> content, Bytes& out, NewValues& values) {
    const std::size_t header_at = out.size();
    append(out, archive, member.local_offset, member.data_offset);
    const std::size_t data_at = out.size();
    if (member.method == ZIP_STORED) {
        out.insert(out.end(), content.begin(), content.end());
    } else {
        const DeflateResult deflated = deflate_raw(content, deflate_level(member.flags), out);
        if (deflated != DeflateResult::ok)
            return deflated == DeflateResult::unsupported ? ZipWriteResult::unsupported
                                                          : ZipWriteResult::compression_failed;
    }
    values = {crc32_of(content), out.size() - data_at, content.size()};

    unsigned char* header = out.data() + header_at;
    const std::size_t name_length = read_le16(header + LOCAL_NAME_LENGTH);
    const std::size_t extra_length = read_le16(header + LOCAL_EXTRA_LENGTH);
    if (LOCAL_HEADER_SIZE + name_length + extra_length != data_at - header_at)
        return ZipWriteResult::unreadable_member;
    unsigned char* extra = header + LOCAL_HEADER_SIZE + name_length;
    const auto zip64 = find_zip64_fields(std::span<const unsigned char>(extra, extra_length),
                                         {read_le32(header + LOCAL_UNCOMPRESSED_SIZE) == ZIP64_MARK,
                                          read_le32(header + LOCAL_COMPRESSED_SIZE) == ZIP64_MARK});
    const Zip64Fields places = zip64.value_or(Zip64Fields{});
    const bool descriptor = (member.flags & ZIP_FLAG_DESCRIPTOR) != 0;
    if (!descriptor || read_le32(header + LOCAL_CRC) != 0)
        write_le32(header + LOCAL_CRC, values.crc32);
    if (!put_value(header + LOCAL_UNCOMPRESSED_SIZE, places.uncompressed, extra, values.uncompressed_size,
                   descriptor) ||
        !put_value(header + LOCAL_COMPRESSED_SIZE, places.compressed, extra, values.compressed_size, descriptor))
        return ZipWriteResult::needs_zip64;
    return member.descriptor_size != 0 ? append_descriptor(member, values, out) : ZipWriteResult::ok;
}

// Brings a central record, copied, up to date: the new local-header offset
// and, for a replaced member, its CRC-32 and sizes.
ZipWriteResult update_central_record(unsigned char* record, const ZipMember& member, std::size_t new_local,
                                     const std::optional<NewValues>& replaced) {
    const std::size_t name_length = read_le16(record + CENTRAL_NAME_LENGTH);
    const std::size_t extra_length = read_le16(record + CENTRAL_EXTRA_LENGTH);
    if (CENTRAL_HEADER_SIZE + name_length + extra_length > member.central_size)
        return ZipWriteResult::unreadable_archive;
    unsigned char* extra = record + CENTRAL_HEADER_SIZE + name_length;
    const auto places = find_zip64_fields(std::span<const unsigned char>(extra, extra_length),
                                          {read_le32(record + CENTRAL_UNCOMPRESSED_SIZE) == ZIP64_MARK,
                                           read_le32(record + CENTRAL_COMPRESSED_SIZE) == ZIP64_MARK,
                                           read_le32(record + CENTRAL_LOCAL_OFFSET) == ZIP64_MARK,
                                           read_le16(record + CENTRAL_DISK) == ZIP64_DISK_MARK});
    if (!places)
        return ZipWriteResult::unreadable_archive;
    if (replaced) {
        write_le32(record + CENTRAL_CRC, replaced->crc32);
        if (!put_value(record + CENTRAL_UNCOMPRESSED_SIZE, places->uncompressed, extra, replaced->uncompressed_size) ||
            !put_value(record + CENTRAL_COMPRESSED_SIZE, places->compressed, extra, replaced->compressed_size))
            return ZipWriteResult::needs_zip64;
    }
    const std::uint64_t recorded =
        places->local_offset ? read_le64(extra + *places->local_offset) : read_le32(record + CENTRAL_LOCAL_OFFSET);
    const std::optional<std::uint64_t> offset = moved(recorded, member.local_offset, new_local);
    if (!offset)
        return ZipWriteResult::unreadable_archive;
    return put_value(record + CENTRAL_LOCAL_OFFSET, places->local_offset, extra, *offset) ? ZipWriteResult::ok
                                                                                          : ZipWriteResult::needs_zip64;
}

// Brings the end records, copied, up to date with where the directory and
// the ZIP64 end record now start.
ZipWriteResult update_end_records(unsigned char* directory_start, const ZipDirectory& directory,
                                  std::size_t new_directory) {
    auto at = [&](std::size_t old) { return directory_start + (old - directory.directory_offset); };
    if (directory.zip64) {
        unsigned char* end = at(directory.zip64_end_offset);
        const auto offset =
            moved(read_le64(end + ZIP64_END_DIRECTORY_OFFSET), directory.directory_offset, new_directory);
        unsigned char* locator = at(directory.zip64_locator_offset);
        const std::size_t new_end = new_directory + (directory.zip64_end_offset - directory.directory_offset);
        const auto end_offset =
            moved(read_le64(locator + ZIP64_LOCATOR_END_OFFSET), directory.zip64_end_offset, new_end);
        if (!offset || !end_offset)
            return ZipWriteResult::unreadable_archive;
        write_le64(end + ZIP64_END_DIRECTORY_OFFSET, *offset);
        write_le64(locator + ZIP64_LOCATOR_END_OFFSET, *end_offset);
    }
    unsigned char* field = at(directory.end_offset) + END_DIRECTORY_OFFSET;
    const std::uint32_t old = read_le32(field);
    if (directory.zip64 && old == ZIP64_MARK)
        return ZipWriteResult::ok;
    const std::optional<std::uint64_t> offset = moved(old, directory.directory_offset, new_directory);
    if (!offset)
        return ZipWriteResult::unreadable_archive;
    if (*offset < ZIP64_MARK)
        write_le32(field, static_cast<std::uint32_t>(*offset));
    else if (directory.zip64)
        write_le32(field, ZIP64_MARK);
    else
        return ZipWriteResult::needs_zip64;
    return ZipWriteResult::ok;
}

ZipWriteResult write_archive(std::span<const unsigned char> archive, const ZipDirectory& directory,
                             std::span<const ZipReplacement> replacements, Bytes& out) {
    if (directory.problem != ZipArchiveProblem::none || !directory_matches(archive, directory))
        return ZipWriteResult::unreadable_archive;
    const std::vector<ZipMember>& members = directory.members;
    if (!std::all_of(members.begin(), members.end(), copyable))
        return ZipWriteResult::unreadable_member;
    std::vector<const ZipReplacement*> replacement_of(members.size(), nullptr);
    std::size_t added = 0;
    for (const ZipReplacement& replacement : replacements) {
        if (replacement.index >= members.size() || replacement_of[replacement.index] != nullptr ||
            members[replacement.index].problem != ZipMemberProblem::none)
            return ZipWriteResult::bad_replacement;
        replacement_of[replacement.index] = &replacement;
        added += replacement.content.size();
    }
    // Members are written in the order of their bytes, each with the bytes
    // that follow it up to the next.
    std::vector<std::size_t> order(members.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return members[a].local_offset < members[b].local_offset; });
    for (std::size_t k = 1; k < order.size(); ++k)
        if (member_end(members[order[k - 1]]) > members[order[k]].local_offset)
            return ZipWriteResult::overlapping_members;

    out.reserve(archive.size() + added);
    append(out, archive, 0, order.empty() ? directory.directory_offset : members[order.front()].local_offset);
    std::vector<std::size_t> new_local(members.size());
    std::vector<std::optional<NewValues>> new_values(members.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        const ZipMember& member = members[order[k]];
        new_local[order[k]] = out.size();
        if (const ZipReplacement* replacement = replacement_of[order[k]]) {
            NewValues values;
            const ZipWriteResult written = write_member(archive, member, replacement->content, out, values);
            if (written != ZipWriteResult::ok)
                return written;
            new_values[order[k]] = values;
        } else {
            append(out, archive, member.local_offset, member_end(member));
        }
        const std::size_t next = k + 1 < order.size() ? members[order[k + 1]].local_offset : directory.directory_offset;
        append(out, archive, member_end(member), next);
    }
    // The directory and all after it keep their layout; only offsets change.
    const std::size_t new_directory = out.size();
    append(out, archive, directory.directory_offset, archive.size());
    unsigned char* directory_start = out.data() + new_directory;
    for (std::size_t i = 0; i < members.size(); ++i) {
        unsigned char* record = directory_start + (members[i].central_offset - directory.directory_offset);
        const ZipWriteResult updated = update_central_record(record, members[i], new_local[i], new_values[i]);
        if (updated != ZipWriteResult::ok)
            return updated;
    }
    return update_end_records(directory_start, directory, new_directory);
}

} // namespace

ZipWriteResult write_zip(std::span<const unsigned char> archive, const ZipDirectory& directory,
                         std::span<const ZipReplacement> replacements, Bytes& out) {
    out.clear();
    const ZipWriteResult result = write_archive(archive, directory, replacements, out);
    if (result != ZipWriteResult::ok)
        out.clear();
    return result;
}

} // namespace mog
