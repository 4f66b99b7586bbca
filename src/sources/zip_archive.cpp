#include "sources/zip_archive.h"

#include <optional>

#include "basic/little_endian.h"
#include "sources/deflate.h"
#include "sources/zip_layout.h"

namespace mog {

namespace {

std::uint32_t signature_at(std::span<const unsigned char> bytes, std::size_t at, std::size_t end) {
    return lies_within(at, ZIP_SIGNATURE_SIZE, end) ? read_le32(bytes.data() + at) : 0;
}

// The end record nearest the end of the file whose comment fits in it.
std::optional<std::size_t> find_end_record(std::span<const unsigned char> archive) {
    if (archive.size() < END_RECORD_SIZE)
        return std::nullopt;
    const std::size_t last = archive.size() - END_RECORD_SIZE;
    const std::size_t first = last > LONGEST_ZIP_COMMENT ? last - LONGEST_ZIP_COMMENT : 0;
    for (std::size_t at = last + 1; at-- > first;) {
        if (read_le32(archive.data() + at) == ZIP_END_SIGNATURE &&
            read_le16(archive.data() + at + END_COMMENT_LENGTH) <= last - at)
            return at;
    }
    return std::nullopt;
}

// The ZIP64 end record the locator points to: where it says or, in an
// archive that bytes were put in front of, right before the locator.
std::optional<std::size_t> find_zip64_end(std::span<const unsigned char> archive, std::size_t locator) {
    const std::uint64_t stated = read_le64(archive.data() + locator + ZIP64_LOCATOR_END_OFFSET);
    if (lies_within(stated, ZIP64_END_SIZE, locator) && signature_at(archive, stated, locator) == ZIP64_END_SIGNATURE)
        return static_cast<std::size_t>(stated);
    if (locator >= ZIP64_END_SIZE && signature_at(archive, locator - ZIP64_END_SIZE, locator) == ZIP64_END_SIGNATURE)
        return locator - ZIP64_END_SIZE;
    return std::nullopt;
}

// What the end records say of the disks and the directory.
struct EndFacts {
    std::uint64_t disk = 0;
    std::uint64_t directory_disk = 0;
    std::uint64_t members_here = 0;
    std::uint64_t members = 0;
    std::uint64_t directory_size = 0;
    std::uint64_t directory_offset = 0;
    std::uint64_t disks = 1;
    std::size_t directory_end = 0; // where the end records start
};

EndFacts end_facts(const unsigned char* end) {
    EndFacts facts;
    facts.disk = read_le16(end + END_DISK);
    facts.directory_disk = read_le16(end + END_DIRECTORY_DISK);
    facts.members_here = read_le16(end + END_MEMBERS_HERE);
    facts.members = read_le16(end + END_MEMBERS);
    facts.directory_size = read_le32(end + END_DIRECTORY_SIZE);
    facts.directory_offset = read_le32(end + END_DIRECTORY_OFFSET);
    return facts;
}

EndFacts zip64_end_facts(const unsigned char* end, const unsigned char* locator) {
    EndFacts facts;
    facts.disk = read_le32(end + ZIP64_END_DISK);
    facts.directory_disk = read_le32(end + ZIP64_END_DIRECTORY_DISK);
    facts.members_here = read_le64(end + ZIP64_END_MEMBERS_HERE);
    facts.members = read_le64(end + ZIP64_END_MEMBERS);
    facts.directory_size = read_le64(end + ZIP64_END_DIRECTORY_SIZE);
    facts.directory_offset = read_le64(end + ZIP64_END_DIRECTORY_OFFSET);
    facts.disks = read_le32(locator + ZIP64_LOCATOR_DISKS);
    return facts;
}

// The member whose central record starts at `at`, or nothing when the
// record runs past end or lacks a ZIP64 value it marks.
std::optional<ZipMember> read_central_record(std::span<const unsigned char> archive, std::size_t at, std::size_t end) {
    if (end - at < CENTRAL_HEADER_SIZE)
        return std::nullopt;
    const unsigned char* record = archive.data() + at;
    const std::size_t name_length = read_le16(record + CENTRAL_NAME_LENGTH);
    const std::size_t extra_length = read_le16(record + CENTRAL_EXTRA_LENGTH);
    const std::size_t size =
        CENTRAL_HEADER_SIZE + name_length + extra_length + read_le16(record + CENTRAL_COMMENT_LENGTH);
    if (size > end - at)
        return std::nullopt;
    ZipMember member;
    member.name.assign(reinterpret_cast<const char*>(record + CENTRAL_HEADER_SIZE), name_length);
    member.method = read_le16(record + CENTRAL_METHOD);
    member.flags = read_le16(record + CENTRAL_FLAGS);
    member.encrypted = (member.flags & (ZIP_FLAG_ENCRYPTED | ZIP_FLAG_STRONG_ENCRYPTION)) != 0;
    member.crc32 = read_le32(record + CENTRAL_CRC);
    member.central_offset = at;
    member.central_size = size;
    const std::uint32_t compressed = read_le32(record + CENTRAL_COMPRESSED_SIZE);
    const std::uint32_t uncompressed = read_le32(record + CENTRAL_UNCOMPRESSED_SIZE);
    const std::uint32_t offset = read_le32(record + CENTRAL_LOCAL_OFFSET);
    const unsigned disk = read_le16(record + CENTRAL_DISK);
    const auto extra = archive.subspan(at + CENTRAL_HEADER_SIZE + name_length, extra_length);
    const auto zip64 = find_zip64_fields(
        extra, {uncompressed == ZIP64_MARK, compressed == ZIP64_MARK, offset == ZIP64_MARK, disk == ZIP64_DISK_MARK});
    if (!zip64)
        return std::nullopt;
    auto value = [&](const std::optional<std::size_t>& place, std::uint64_t narrow) {
        return place ? read_le64(extra.data() + *place) : narrow;
    };
    member.uncompressed_size = value(zip64->uncompressed, uncompressed);
    member.compressed_size = value(zip64->compressed, compressed);
    member.local_header_offset = value(zip64->local_offset, offset);
    member.disk = zip64->disk ? read_le32(extra.data() + *zip64->disk) : disk;
    return member;
}

// The length of the data descriptor after member's data, in the first of
// its forms that holds the member's CRC-32 and sizes; 0 for none. The
// 64-bit forms go first for a member whose local header has ZIP64 sizes.
std::size_t find_descriptor(std::span<const unsigned char> before_directory, const ZipMember& member, bool wide_first) {
    const std::size_t at = member.data_offset + static_cast<std::size_t>(member.compressed_size);
    for (const bool signed_form : {true, false}) {
        for (const bool wide : {wide_first, !wide_first}) {
            const std::size_t start = at + (signed_form ? ZIP_SIGNATURE_SIZE : 0);
            const std::size_t width = wide ? 8 : 4;
            const std::size_t size = (wide ? DESCRIPTOR_SIZE_64 : DESCRIPTOR_SIZE_32) + (start - at);
            if (!lies_within(at, size, before_directory.size()))
                continue;
            const unsigned char* bytes = before_directory.data() + start;
            auto size_at = [&](std::size_t offset) {
                return wide ? read_le64(bytes + offset) : read_le32(bytes + offset);
            };
            if ((!signed_form || read_le32(before_directory.data() + at) == ZIP_DESCRIPTOR_SIGNATURE) &&
                read_le32(bytes) == member.crc32 && size_at(4) == member.compressed_size &&
                size_at(4 + width) == member.uncompressed_size)
                return size;
        }
    }
    return 0;
}

// Finds member's local header and data within the bytes before the
// directory, shift added to its recorded offset, and judges whether its
// content can be read.
ZipMemberProblem place_member(std::span<const unsigned char> before_directory, std::size_t shift, ZipMember& member) {
    if (member.disk != 0)
        return ZipMemberProblem::other_volume;
    const std::size_t bound = before_directory.size();
    if (member.local_header_offset > bound - shift)
        return ZipMemberProblem::bad_local_header;
    const std::size_t local = static_cast<std::size_t>(member.local_header_offset) + shift;
    if (signature_at(before_directory, local, bound) != ZIP_LOCAL_SIGNATURE ||
        !lies_within(local, LOCAL_HEADER_SIZE, bound))
        return ZipMemberProblem::bad_local_header;
    const unsigned char* header = before_directory.data() + local;
    const std::size_t name_length = read_le16(header + LOCAL_NAME_LENGTH);
    const std::size_t extra_length = read_le16(header + LOCAL_EXTRA_LENGTH);
    if (!lies_within(local, LOCAL_HEADER_SIZE + name_length + extra_length, bound))
        return ZipMemberProblem::bad_local_header;
    const std::size_t data = local + LOCAL_HEADER_SIZE + name_length + extra_length;
    if (!lies_within(data, member.compressed_size, bound))
        return ZipMemberProblem::data_outside;
    member.local_offset = local;
    member.data_offset = data;
    if ((member.flags & ZIP_FLAG_DESCRIPTOR) != 0) {
        const auto extra = before_directory.subspan(local + LOCAL_HEADER_SIZE + name_length, extra_length);
        const bool wide = find_zip64_fields(extra, {.uncompressed = true}).has_value();
        member.descriptor_size = find_descriptor(before_directory, member, wide);
    }
    if (member.encrypted)
        return ZipMemberProblem::encrypted;
    if (member.method != ZIP_STORED && member.method != ZIP_DEFLATED)
        return ZipMemberProblem::method;
    return ZipMemberProblem::none;
}

// Reads the central records from the directory's start up to its end, or
// up to MOST_ZIP_MEMBERS of them. A count of more members than fit in the
// end record's 16 bits wraps, but such a directory is cut short before
// the count is compared.
ZipArchiveProblem read_central_records(std::span<const unsigned char> archive, std::size_t end,
                                       std::uint64_t stated_members, ZipDirectory& directory) {
    std::size_t at = directory.directory_offset;
    while (signature_at(archive, at, end) == ZIP_CENTRAL_SIGNATURE) {
        if (directory.members.size() == MOST_ZIP_MEMBERS)
            return ZipArchiveProblem::too_many_members;
        std::optional<ZipMember> member = read_central_record(archive, at, end);
        if (!member)
            return ZipArchiveProblem::directory_damaged;
        member->index = directory.members.size();
        at += member->central_size;
        directory.members.push_back(std::move(*member));
    }
    // The directory may close with its own signature.
    const bool closed = at == end || signature_at(archive, at, end) == ZIP_DIRECTORY_SIGNATURE;
    return closed && directory.members.size() == stated_members ? ZipArchiveProblem::none
                                                                : ZipArchiveProblem::directory_damaged;
}

} // namespace

ZipDirectory read_zip_directory(std::span<const unsigned char> archive) {
    ZipDirectory directory;
    const std::optional<std::size_t> end = find_end_record(archive);
    if (!end) {
        directory.problem = ZipArchiveProblem::not_zip;
        return directory;
    }
    directory.end_offset = *end;
    const unsigned char* end_record = archive.data() + *end;
    directory.comment.assign(reinterpret_cast<const char*>(end_record + END_RECORD_SIZE),
                             read_le16(end_record + END_COMMENT_LENGTH));
    EndFacts facts = end_facts(end_record);
    facts.directory_end = *end;
    if (*end >= ZIP64_LOCATOR_SIZE &&
        signature_at(archive, *end - ZIP64_LOCATOR_SIZE, *end) == ZIP64_LOCATOR_SIGNATURE) {
        const std::size_t locator = *end - ZIP64_LOCATOR_SIZE;
        const std::optional<std::size_t> zip64_end = find_zip64_end(archive, locator);
        if (!zip64_end) {
            directory.problem = ZipArchiveProblem::directory_damaged;
            return directory;
        }
        facts = zip64_end_facts(archive.data() + *zip64_end, archive.data() + locator);
        facts.directory_end = *zip64_end;
        directory.zip64 = true;
        directory.zip64_end_offset = *zip64_end;
        directory.zip64_locator_offset = locator;
    }
    // The directory ends where the end records start; where the directory
    // says it starts, shift bytes earlier, is what was put in front.
    if (facts.directory_size > facts.directory_end ||
        facts.directory_offset > facts.directory_end - facts.directory_size) {
        directory.problem = ZipArchiveProblem::directory_outside;
        return directory;
    }
    directory.directory_size = static_cast<std::size_t>(facts.directory_size);
    directory.directory_offset = facts.directory_end - directory.directory_size;
    directory.shift = directory.directory_offset - static_cast<std::size_t>(facts.directory_offset);

    const bool multi_volume =
        facts.disks > 1 || facts.disk != 0 || facts.directory_disk != 0 || facts.members_here != facts.members;
    if (multi_volume) {
        directory.problem = ZipArchiveProblem::multi_volume;
        if (facts.directory_disk != facts.disk || facts.members_here != facts.members)
            return directory; // the directory, or part of it, is on another disk
    }
    const ZipArchiveProblem records = read_central_records(archive, facts.directory_end, facts.members, directory);
    if (records == ZipArchiveProblem::directory_damaged) {
        directory.members.clear();
        directory.problem = records;
        return directory;
    }
    if (directory.problem == ZipArchiveProblem::none)
        directory.problem = records;
    const auto before_directory = archive.first(directory.directory_offset);
    for (ZipMember& member : directory.members)
        member.problem =
            multi_volume ? ZipMemberProblem::other_volume : place_member(before_directory, directory.shift, member);
    return directory;
}

namespace {

ZipReadResult read_content(std::span<const unsigned char> archive, const ZipMember& member, Bytes& into,
                           std::size_t limit) {
    if (member.problem == ZipMemberProblem::bad_local_header || member.problem == ZipMemberProblem::data_outside)
        return ZipReadResult::corrupt;
    if (member.problem != ZipMemberProblem::none)
        return ZipReadResult::unsupported;
    if (!lies_within(member.data_offset, member.compressed_size, archive.size()))
        return ZipReadResult::corrupt;
    if (member.uncompressed_size > limit)
        return ZipReadResult::too_large;
    const auto data = archive.subspan(member.data_offset, static_cast<std::size_t>(member.compressed_size));
    if (member.method == ZIP_STORED) {
        if (member.compressed_size != member.uncompressed_size)
            return ZipReadResult::corrupt;
        into.assign(data.begin(), data.end());
    } else if (member.method == ZIP_DEFLATED) {
        // Room for what the header says, so that a buffer used before takes
        // it without growing; the limit holds whatever it says.
        into.reserve(static_cast<std::size_t>(member.uncompressed_size));
        switch (inflate_raw(data, into, limit).result) {
        case InflateResult::ok:
            break;
        case InflateResult::too_large:
            return ZipReadResult::too_large;
        case InflateResult::corrupt:
            return ZipReadResult::corrupt;
        case InflateResult::unsupported:
            return ZipReadResult::unsupported;
        }
        if (into.size() != member.uncompressed_size)
            return ZipReadResult::corrupt;
    } else {
        return ZipReadResult::unsupported;
    }
    return crc32_of(into) == member.crc32 ? ZipReadResult::ok : ZipReadResult::crc_mismatch;
}

} // namespace

ZipReadResult read_zip_member(std::span<const unsigned char> archive, const ZipMember& member, Bytes& into,
                              std::size_t limit) {
    into.clear();
    const ZipReadResult result = read_content(archive, member, into, limit);
    if (result != ZipReadResult::ok && result != ZipReadResult::crc_mismatch)
        into.clear();
    return result;
}

} // namespace mog
