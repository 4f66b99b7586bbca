// A zip archive of any bytes: listed, each member read under a small
// limit, then written back as it is, which must give the same bytes, and
// with each member that read replaced by its own content, which must list
// and read as before.
#include <algorithm>
#include <vector>

#include "harness.h"
#include "sources/zip_archive.h"
#include "sources/zip_write.h"

using namespace mog;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t LIMIT = 1 << 16;
    const std::span<const unsigned char> archive(data, size);
    const ZipDirectory directory = read_zip_directory(archive);
    const std::size_t count = directory.members.size();
    std::vector<Bytes> contents(count);
    std::vector<ZipReadResult> results;
    std::vector<ZipReplacement> replacements;
    for (std::size_t i = 0; i < count; ++i) {
        results.push_back(read_zip_member(archive, directory.members[i], contents[i], LIMIT));
        const bool given = results[i] == ZipReadResult::ok || results[i] == ZipReadResult::crc_mismatch;
        FUZZ_CHECK(directory.members[i].index == i && contents[i].size() <= LIMIT && (given || contents[i].empty()));
        if (results[i] == ZipReadResult::ok)
            replacements.push_back({i, contents[i]});
    }
    Bytes copy;
    const bool copied = write_zip(archive, directory, {}, copy) == ZipWriteResult::ok;
    FUZZ_CHECK(!copied || std::equal(copy.begin(), copy.end(), archive.begin(), archive.end()));
    Bytes out;
    FUZZ_CHECK((write_zip(archive, directory, replacements, out) == ZipWriteResult::ok) == copied);
    FUZZ_CHECK(copied || out.empty());
    const ZipDirectory again = read_zip_directory(out);
    FUZZ_CHECK(!copied || (again.problem == ZipArchiveProblem::none && again.members.size() == count &&
                           again.comment == directory.comment));
    for (std::size_t i = 0; copied && i < count; ++i) {
        FUZZ_CHECK(again.members[i].name == directory.members[i].name);
        FUZZ_CHECK(again.members[i].problem == directory.members[i].problem);
        Bytes content;
        FUZZ_CHECK(read_zip_member(out, again.members[i], content, LIMIT) == results[i] && content == contents[i]);
    }
    return 0;
}
