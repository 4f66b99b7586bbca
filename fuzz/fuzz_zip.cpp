// A zip archive of any bytes: listed, each member read under a small
// limit, then written back twice, as it is and with every member read
// whole replaced by its own content. Both must list and read as before,
// and the first must give the same bytes.
#include <algorithm>
#include <vector>

#include "harness.h"
#include "sources/zip_archive.h"
#include "sources/zip_write.h"

using namespace mog;

namespace {

constexpr std::size_t LIMIT = 1 << 16;

bool given(ZipReadResult result) {
    return result == ZipReadResult::ok || result == ZipReadResult::crc_mismatch;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const unsigned char> archive(data, size);
    const ZipDirectory directory = read_zip_directory(archive);
    const std::size_t count = directory.members.size();
    FUZZ_CHECK(count <= MOST_ZIP_MEMBERS);
    std::vector<Bytes> contents(count);
    std::vector<ZipReadResult> results;
    std::vector<ZipReplacement> replacements;
    for (std::size_t i = 0; i < count; ++i) {
        FUZZ_CHECK(directory.members[i].index == i);
        results.push_back(read_zip_member(archive, directory.members[i], contents[i], LIMIT));
        FUZZ_CHECK(contents[i].size() <= LIMIT && (given(results[i]) || contents[i].empty()));
        if (results[i] == ZipReadResult::ok)
            replacements.push_back({i, contents[i]});
    }
    Bytes copy;
    const ZipWriteResult copied = write_zip(archive, directory, {}, copy);
    FUZZ_CHECK(copied != ZipWriteResult::ok || std::equal(copy.begin(), copy.end(), archive.begin(), archive.end()));
    Bytes out;
    const ZipWriteResult written = write_zip(archive, directory, replacements, out);
    FUZZ_CHECK((written == ZipWriteResult::ok) == (copied == ZipWriteResult::ok));
    if (written != ZipWriteResult::ok) {
        FUZZ_CHECK(out.empty());
        return 0;
    }
    const ZipDirectory again = read_zip_directory(out);
    FUZZ_CHECK(again.problem == ZipArchiveProblem::none && again.members.size() == count);
    FUZZ_CHECK(again.comment == directory.comment);
    for (std::size_t i = 0; i < count; ++i) {
        FUZZ_CHECK(again.members[i].name == directory.members[i].name);
        FUZZ_CHECK(again.members[i].problem == directory.members[i].problem);
        Bytes content;
        FUZZ_CHECK(read_zip_member(out, again.members[i], content, LIMIT) == results[i]);
        FUZZ_CHECK(content == contents[i]);
    }
    return 0;
}
