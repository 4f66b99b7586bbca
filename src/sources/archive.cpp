// Zips and gzips as sources: their members of the kinds mog reads, and the
// archive written back with new contents and nothing else changed.
#include <algorithm>

#include "mog/files.h"
#include "mog/sources.h"
#include "sources/deflate.h"
#include "sources/gzip_file.h"
#include "sources/sha1.h"
#include "sources/zip_write.h"

namespace mog {

struct ArchiveLayout {
    ZipDirectory directory; // a zip's
};

namespace {

int zip_error(ZipArchiveProblem problem) {
    switch (problem) {
    case ZipArchiveProblem::none:
    case ZipArchiveProblem::too_many_members:
        return 0;
    case ZipArchiveProblem::not_zip:
        return NOT_A_ZIP;
    case ZipArchiveProblem::multi_volume:
        return ARCHIVE_SPLIT;
    case ZipArchiveProblem::directory_outside:
    case ZipArchiveProblem::directory_damaged:
        break;
    }
    return ARCHIVE_DAMAGED;
}

// Why a member is kept as it is, from its entry or from reading it.
std::optional<Notice> member_problem(const ZipMember& member, ZipReadResult read) {
    switch (member.problem) {
    case ZipMemberProblem::none:
        break;
    case ZipMemberProblem::encrypted:
        return Notice{NoticeKind::member_encrypted};
    case ZipMemberProblem::method:
        return Notice{NoticeKind::member_method, member.method};
    case ZipMemberProblem::other_volume:
        return Notice{NoticeKind::member_on_other_volume};
    case ZipMemberProblem::bad_local_header:
    case ZipMemberProblem::data_outside:
        return Notice{NoticeKind::member_damaged};
    }
    switch (read) {
    case ZipReadResult::ok:
        return std::nullopt;
    case ZipReadResult::too_large:
        return Notice{NoticeKind::member_too_large};
    case ZipReadResult::crc_mismatch:
        return Notice{NoticeKind::member_crc_mismatch};
    case ZipReadResult::unsupported:
        return Notice{NoticeKind::member_method, member.method};
    case ZipReadResult::corrupt:
        break;
    }
    return Notice{NoticeKind::member_damaged};
}

// A buffer for a member's content: one given back by an earlier archive, or a new one.
Bytes buffer_from(std::vector<Bytes>* reuse) {
    if (reuse == nullptr || reuse->empty())
        return Bytes();
    Bytes buffer = std::move(reuse->back());
    reuse->pop_back();
    return buffer;
}

void open_zip(OpenedArchive& archive, std::span<const unsigned char> bytes, std::vector<Bytes>* reuse) {
    auto layout = std::make_shared<ArchiveLayout>();
    layout->directory = read_zip_directory(bytes);
    const ZipDirectory& directory = layout->directory;
    archive.error = zip_error(directory.problem);
    if (archive.error != 0)
        return;
    if (directory.problem == ZipArchiveProblem::too_many_members)
        archive.notices.push_back(Notice{NoticeKind::too_many_members, directory.members.size()});
    for (const ZipMember& entry : directory.members) {
        // Only containers: an archive inside an archive is passed over.
        const std::optional<SourceName> kind = source_for_name(entry.name);
        if (!kind || kind->kind != SourceKind::container)
            continue;
        ArchiveMember member;
        member.bytes = buffer_from(reuse);
        member.index = entry.index;
        member.name = entry.name;
        member.container = *kind->container;
        const ZipReadResult read = entry.problem == ZipMemberProblem::none
                                       ? read_zip_member(bytes, entry, member.bytes, MAX_FILE_SIZE)
                                       : ZipReadResult::unsupported;
        member.problem = member_problem(entry, read);
        archive.members.push_back(std::move(member));
    }
    archive.layout = std::move(layout);
}

int gzip_error(GzipReadResult result) {
    switch (result) {
    case GzipReadResult::ok:
    case GzipReadResult::crc_mismatch:
        return 0;
    case GzipReadResult::not_gzip:
        return NOT_A_GZIP;
    case GzipReadResult::too_large:
        return INFLATED_TOO_LARGE;
    case GzipReadResult::several_members:
    case GzipReadResult::trailing_bytes:
        return ARCHIVE_OF_SEVERAL;
    case GzipReadResult::unsupported:
        return ARCHIVE_UNSUPPORTED;
    case GzipReadResult::corrupt:
        break;
    }
    return ARCHIVE_DAMAGED;
}

// A gzip holds one file, named as the archive less ".gz".
void open_gzip(OpenedArchive& archive, std::string_view name, std::span<const unsigned char> bytes,
               std::vector<Bytes>* reuse) {
    ArchiveMember member;
    member.bytes = buffer_from(reuse);
    const GzipRead read = read_gzip(bytes, member.bytes, MAX_FILE_SIZE);
    archive.error = gzip_error(read.result);
    if (archive.error != 0)
        return;
    // Its name is the archive's own, without the folder and ".gz".
    name = name.substr(name.find_last_of("/\\") + 1); // npos + 1 is 0
    member.name = std::string(name.substr(0, name.rfind('.')));
    const std::optional<SourceName> kind = source_for_name(member.name);
    if (!kind || kind->kind != SourceKind::container)
        return;
    member.container = *kind->container;
    if (read.result == GzipReadResult::crc_mismatch)
        member.problem = Notice{NoticeKind::member_crc_mismatch};
    archive.members.push_back(std::move(member));
    archive.layout = std::make_shared<ArchiveLayout>();
}

} // namespace

OpenedArchive open_archive(SourceKind kind, std::string_view name, std::span<const unsigned char> bytes,
                           std::vector<Bytes>* reuse) {
    OpenedArchive archive;
    archive.kind = kind;
    if (kind == SourceKind::zip)
        open_zip(archive, bytes, reuse);
    else if (kind == SourceKind::gzip)
        open_gzip(archive, name, bytes, reuse);
    return archive;
}

int rewrite_archive(const OpenedArchive& archive, std::span<const unsigned char> bytes,
                    std::span<const MemberContent> contents, Bytes& out) {
    if (archive.error != 0 || !archive.layout)
        return ARCHIVE_NOT_WRITTEN;
    if (archive.kind == SourceKind::gzip) {
        // Nothing new: the file as it was.
        if (contents.empty()) {
            out.assign(bytes.begin(), bytes.end());
            return 0;
        }
        if (contents.size() != 1)
            return ARCHIVE_NOT_WRITTEN;
        return write_gzip(bytes, contents.front().bytes, out) == GzipWriteResult::ok ? 0 : ARCHIVE_NOT_WRITTEN;
    }
    std::vector<ZipReplacement> replacements;
    for (const MemberContent& content : contents) {
        if (content.position >= archive.members.size())
            return ARCHIVE_NOT_WRITTEN;
        replacements.push_back({archive.members[content.position].index, content.bytes});
    }
    return write_zip(bytes, archive.layout->directory, replacements, out) == ZipWriteResult::ok ? 0
                                                                                                : ARCHIVE_NOT_WRITTEN;
}

std::string member_path(std::string_view archive, std::string_view member) {
    return std::string(archive) + "!" + std::string(member);
}

std::string crc32_text(std::span<const unsigned char> bytes) {
    return crc32_hex(crc32_of(bytes));
}

std::string sha1_text(std::span<const unsigned char> bytes) {
    return sha1_hex(sha1_of(bytes));
}

} // namespace mog
