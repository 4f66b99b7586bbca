// Zip-Code sets of any bytes: a set that decodes codes again, whole or for
// one changed sector, to a set that decodes to that disk.
#include <numeric>

#include "harness.h"
#include "sources/zipcode_set.h"

using namespace mog;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6) // the little-endian sizes of parts 1 to 3; part 4 is the rest
        return 0;
    ZipcodeParts parts;
    for (std::size_t p = 0, at = 6; p < ZIPCODE_PARTS; at += parts[p++].size())
        parts[p] =
            std::span(data + at, std::min<std::size_t>(p < 3 ? data[2 * p] | data[2 * p + 1] << 8 : size, size - at));
    const ZipcodeDecoded decoded = decode_zipcode_set(parts);
    if (decoded.problem)
        return 0;
    // Every sector coded again, then one byte of one sector changed: the
    // parts that hold no changed sector stay as they are.
    std::vector<int> all(ZIPCODE_SECTORS);
    std::iota(all.begin(), all.end(), 0);
    const std::size_t sector = size % ZIPCODE_SECTORS;
    std::vector<unsigned char> changed = decoded.disk.image;
    changed[sector * SECTOR_SIZE + data[0]] ^= static_cast<unsigned char>(data[1] | 1);
    for (const auto& [disk, sectors] :
         {std::pair(decoded.disk.image, all), std::pair(changed, differing_sectors(decoded.disk.image, changed))}) {
        const auto rewritten = encode_changed(parts, decoded.disk, disk, sectors);
        ZipcodeParts again = parts;
        for (std::size_t p = 0; p < ZIPCODE_PARTS; ++p) {
            FUZZ_CHECK(sectors.size() != 1 ||
                       rewritten[p].has_value() == (decoded.disk.records[sector].part == int(p) + 1));
            again[p] = rewritten[p] ? std::span<const unsigned char>(*rewritten[p]) : parts[p];
        }
        const ZipcodeDecoded redecoded = decode_zipcode_set(again);
        FUZZ_CHECK(!redecoded.problem && redecoded.disk.image == disk && redecoded.disk.id == decoded.disk.id);
    }
    return 0;
}
