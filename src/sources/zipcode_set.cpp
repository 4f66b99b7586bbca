#include "sources/zipcode_set.h"

#include "text/format.h"

#include <algorithm>

namespace mog {

namespace {

struct PartLayout {
    int first_track;
    int last_track;
    unsigned char load_address[2]; // little-endian
    std::size_t header_size;       // the load address, and in part 1 the disk ID
};

constexpr PartLayout PART_LAYOUTS[ZIPCODE_PARTS] = {
    {1, 8, {0xFE, 0x03}, 4},
    {9, 16, {0x00, 0x04}, 2},
    {17, 25, {0x00, 0x04}, 2},
    {26, 35, {0x00, 0x04}, 2},
};

// The top two bits of a record's first byte; the low six are the track.
enum Method : unsigned char { RAW = 0, FILL = 1, RUNS = 2, UNKNOWN = 3 };
constexpr unsigned char TRACK_BITS = 0x3F;
constexpr int METHOD_SHIFT = 6;

constexpr std::size_t RECORD_HEADER = 2; // track and method, sector
constexpr std::size_t RUNS_HEADER = 2;   // length of the coded bytes, marker
constexpr std::size_t SHORTEST_RUN = 4;  // a run of three codes to as many bytes
constexpr std::size_t LONGEST_RUN = 255; // its count is one byte
constexpr std::size_t RUN_SIZE = 3;      // marker, count, byte

// Where the last component of a path starts.
std::size_t last_component(std::string_view path) {
    const std::size_t separator = path.find_last_of("/\\");
    return separator == std::string_view::npos ? 0 : separator + 1;
}

int sectors_of_part(const PartLayout& layout) {
    return sector_index(D64, layout.last_track + 1, 0) - sector_index(D64, layout.first_track, 0);
}

struct TrackSector {
    int track;
    int sector;
};

// The sector with the given index on a disk of 35 tracks.
TrackSector track_and_sector(int index) {
    int track = 1;
    while (track < D64.standard_tracks && index >= sector_index(D64, track + 1, 0))
        ++track;
    return {track, index - sector_index(D64, track, 0)};
}

// The first of the part's sectors not seen yet.
TrackSector first_missing(const PartLayout& layout, const std::vector<bool>& seen) {
    int index = sector_index(D64, layout.first_track, 0);
    while (index < ZIPCODE_SECTORS - 1 && seen[static_cast<std::size_t>(index)])
        ++index;
    return track_and_sector(index);
}

// Run-length codes a sector with the marker; empty when the coded bytes,
// with their length and the marker before them, would take no fewer than
// the sector's own 256.
std::vector<unsigned char> code_runs(std::span<const unsigned char> sector, unsigned char marker) {
    constexpr std::size_t LONGEST_CODED = SECTOR_SIZE - RUNS_HEADER - 1;
    std::vector<unsigned char> coded;
    for (std::size_t at = 0; at < SECTOR_SIZE && coded.size() <= LONGEST_CODED;) {
        std::size_t run = 1;
        while (at + run < SECTOR_SIZE && run < LONGEST_RUN && sector[at + run] == sector[at])
            ++run;
        if (run >= SHORTEST_RUN)
            coded.insert(coded.end(), {marker, static_cast<unsigned char>(run), sector[at]});
        else
            coded.insert(coded.end(), sector.begin() + static_cast<std::ptrdiff_t>(at),
                         sector.begin() + static_cast<std::ptrdiff_t>(at + run));
        at += run;
    }
    if (coded.size() > LONGEST_CODED)
        coded.clear();
    return coded;
}

void append_record(std::vector<unsigned char>& out, int track, int sector, std::span<const unsigned char> bytes) {
    const auto head = [&](Method method) {
        out.push_back(static_cast<unsigned char>(track | method << METHOD_SHIFT));
        out.push_back(static_cast<unsigned char>(sector));
    };
    if (std::all_of(bytes.begin(), bytes.end(), [&](unsigned char b) { return b == bytes[0]; })) {
        head(FILL);
        out.push_back(bytes[0]);
        return;
    }
    bool occurs[256] = {};
    for (unsigned char b : bytes)
        occurs[b] = true;
    const bool* free_value = std::find(occurs, occurs + 256, false);
    if (free_value != occurs + 256) {
        const auto marker = static_cast<unsigned char>(free_value - occurs);
        const std::vector<unsigned char> coded = code_runs(bytes, marker);
        if (!coded.empty()) {
            head(RUNS);
            out.insert(out.end(), {static_cast<unsigned char>(coded.size()), marker});
            out.insert(out.end(), coded.begin(), coded.end());
            return;
        }
    }
    head(RAW);
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// Expands run-length coded bytes into a sector.
std::optional<ZipcodeFault> expand_runs(std::span<const unsigned char> coded, unsigned char marker,
                                        unsigned char* sector) {
    std::size_t filled = 0;
    for (std::size_t at = 0; at < coded.size();) {
        if (coded[at] != marker) {
            if (filled == SECTOR_SIZE)
                return ZipcodeFault::sector_overflows;
            sector[filled++] = coded[at++];
            continue;
        }
        if (coded.size() - at < RUN_SIZE)
            return ZipcodeFault::sector_short;
        const std::size_t count = coded[at + 1];
        if (count > SECTOR_SIZE - filled)
            return ZipcodeFault::sector_overflows;
        std::fill_n(sector + filled, count, coded[at + 2]);
        filled += count;
        at += RUN_SIZE;
    }
    if (filled < SECTOR_SIZE)
        return ZipcodeFault::sector_short;
    return std::nullopt;
}

// Reads one part's records into the disk, marking the sectors seen.
std::optional<ZipcodeProblem> decode_part(int part, std::span<const unsigned char> bytes, ZipcodeDisk& disk,
                                          std::vector<bool>& seen) {
    const PartLayout& layout = PART_LAYOUTS[part - 1];
    const auto problem = [&](ZipcodeFault fault, std::size_t offset, int track = 0, int sector = 0) {
        return ZipcodeProblem{fault, part, offset, track, sector};
    };
    if (!std::equal(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(bytes.size(), 2)),
                    layout.load_address))
        return problem(ZipcodeFault::wrong_load_address, 0);
    if (bytes.size() < layout.header_size)
        return problem(ZipcodeFault::cut_short, 0);
    if (part == 1)
        disk.id = {bytes[2], bytes[3]};

    std::size_t at = layout.header_size;
    for (int found = 0; found < sectors_of_part(layout); ++found) {
        if (at == bytes.size()) {
            const TrackSector missing = first_missing(layout, seen);
            return problem(ZipcodeFault::sector_missing, at, missing.track, missing.sector);
        }
        const std::size_t left = bytes.size() - at;
        if (left < RECORD_HEADER)
            return problem(ZipcodeFault::cut_short, at);
        const int track = bytes[at] & TRACK_BITS, sector = bytes[at + 1];
        const auto method = static_cast<Method>(bytes[at] >> METHOD_SHIFT);
        if (track < layout.first_track || track > layout.last_track)
            return problem(ZipcodeFault::track_outside_part, at, track, sector);
        if (sector >= sectors_on_track(D64, track))
            return problem(ZipcodeFault::sector_outside_track, at, track, sector);
        const auto index = static_cast<std::size_t>(sector_index(D64, track, sector));
        if (seen[index])
            return problem(ZipcodeFault::sector_twice, at, track, sector);
        if (method == UNKNOWN)
            return problem(ZipcodeFault::unknown_method, at, track, sector);

        std::size_t size = RECORD_HEADER + (method == RAW ? SECTOR_SIZE : method == FILL ? 1 : RUNS_HEADER);
        if (method == RUNS && left >= size)
            size += bytes[at + RECORD_HEADER];
        if (left < size)
            return problem(ZipcodeFault::cut_short, at, track, sector);

        const std::span<const unsigned char> coded = bytes.subspan(at + RECORD_HEADER, size - RECORD_HEADER);
        unsigned char* into = disk.image.data() + index * SECTOR_SIZE;
        if (method == RAW)
            std::copy(coded.begin(), coded.end(), into);
        else if (method == FILL)
            std::fill_n(into, SECTOR_SIZE, coded[0]);
        else if (const auto fault = expand_runs(coded.subspan(RUNS_HEADER), coded[1], into))
            return problem(*fault, at, track, sector);
        seen[index] = true;
        disk.records[index] = {part, at, size};
        at += size;
    }
    if (at != bytes.size())
        return problem(ZipcodeFault::trailing_bytes, at);
    return std::nullopt;
}

} // namespace

int zipcode_part_number(std::string_view path) {
    const std::string_view name = path.substr(last_component(path));
    if (name.size() < 3 || name[0] < '1' || name[0] > '0' + ZIPCODE_PARTS || name[1] != '!')
        return 0;
    return name[0] - '0';
}

std::string zipcode_part_path(std::string_view path, int part) {
    std::string named(path);
    if (zipcode_part_number(path) != 0 && part >= 1 && part <= ZIPCODE_PARTS)
        named[last_component(path)] = static_cast<char>('0' + part);
    return named;
}

std::string zipcode_set_name(std::string_view path) {
    std::string name(path);
    if (zipcode_part_number(path) != 0)
        name.erase(last_component(path), 2);
    return name;
}

ZipcodeDecoded decode_zipcode_set(const ZipcodeParts& parts) {
    ZipcodeDecoded decoded;
    for (int part = 1; part <= ZIPCODE_PARTS; ++part)
        if (parts[static_cast<std::size_t>(part - 1)].empty()) {
            decoded.problem = ZipcodeProblem{ZipcodeFault::missing_part, part, 0, 0, 0};
            return decoded;
        }
    decoded.disk.image.assign(D64_IMAGE_SIZE, 0);
    std::vector<bool> seen(ZIPCODE_SECTORS);
    for (int part = 1; part <= ZIPCODE_PARTS && !decoded.problem; ++part)
        decoded.problem = decode_part(part, parts[static_cast<std::size_t>(part - 1)], decoded.disk, seen);
    if (decoded.problem)
        decoded.disk.image.clear();
    return decoded;
}

std::vector<int> differing_sectors(std::span<const unsigned char> before, std::span<const unsigned char> after) {
    std::vector<int> differing;
    for (int index = 0; index < ZIPCODE_SECTORS; ++index) {
        const std::size_t end = static_cast<std::size_t>(index + 1) * SECTOR_SIZE;
        const bool in_before = before.size() >= end, in_after = after.size() >= end;
        if (in_before != in_after ||
            (in_before && !std::equal(before.begin() + static_cast<std::ptrdiff_t>(end - SECTOR_SIZE),
                                      before.begin() + static_cast<std::ptrdiff_t>(end),
                                      after.begin() + static_cast<std::ptrdiff_t>(end - SECTOR_SIZE))))
            differing.push_back(index);
    }
    return differing;
}

std::array<std::optional<std::vector<unsigned char>>, ZIPCODE_PARTS>
encode_changed(const ZipcodeParts& parts, const ZipcodeDisk& decoded, std::span<const unsigned char> new_disk,
               std::span<const int> changed_sectors) {
    std::vector<bool> changed(ZIPCODE_SECTORS);
    for (int index : changed_sectors)
        if (index >= 0 && index < ZIPCODE_SECTORS &&
            new_disk.size() >= static_cast<std::size_t>(index + 1) * SECTOR_SIZE)
            changed[static_cast<std::size_t>(index)] = true;

    // Each part's sectors in the order of their records.
    std::array<std::vector<int>, ZIPCODE_PARTS> order;
    for (int index = 0; index < ZIPCODE_SECTORS; ++index) {
        const int part = decoded.records[static_cast<std::size_t>(index)].part;
        if (part >= 1 && part <= ZIPCODE_PARTS)
            order[static_cast<std::size_t>(part - 1)].push_back(index);
    }

    std::array<std::optional<std::vector<unsigned char>>, ZIPCODE_PARTS> rewritten;
    for (std::size_t p = 0; p < ZIPCODE_PARTS; ++p) {
        const std::span<const unsigned char> old = parts[p];
        std::vector<int>& indexes = order[p];
        if (std::none_of(indexes.begin(), indexes.end(), [&](int i) { return changed[static_cast<std::size_t>(i)]; }))
            continue;
        std::sort(indexes.begin(), indexes.end(), [&](int a, int b) {
            return decoded.records[static_cast<std::size_t>(a)].offset <
                   decoded.records[static_cast<std::size_t>(b)].offset;
        });
        const auto kept = [&](std::size_t from, std::size_t size) {
            from = std::min(from, old.size());
            return old.subspan(from, std::min(size, old.size() - from));
        };
        std::vector<unsigned char> out;
        out.reserve(old.size() + SECTOR_SIZE);
        const std::span<const unsigned char> header = kept(0, PART_LAYOUTS[p].header_size);
        out.insert(out.end(), header.begin(), header.end());
        for (int index : indexes) {
            const ZipcodeRecord& record = decoded.records[static_cast<std::size_t>(index)];
            const std::span<const unsigned char> bytes = kept(record.offset, record.size);
            if (!changed[static_cast<std::size_t>(index)]) {
                out.insert(out.end(), bytes.begin(), bytes.end());
                continue;
            }
            const TrackSector place = track_and_sector(index);
            append_record(out, place.track, place.sector,
                          new_disk.subspan(static_cast<std::size_t>(index) * SECTOR_SIZE, SECTOR_SIZE));
        }
        if (!std::equal(out.begin(), out.end(), old.begin(), old.end()))
            rewritten[p] = std::move(out);
    }
    return rewritten;
}

std::string describe_zipcode_problem(const ZipcodeProblem& problem, std::string_view part) {
    std::string what;
    switch (problem.fault) {
    case ZipcodeFault::missing_part:
        what = "is empty";
        break;
    case ZipcodeFault::wrong_load_address:
        what = "does not start as a part of its number does";
        break;
    case ZipcodeFault::cut_short:
        what = "is cut short";
        break;
    case ZipcodeFault::track_outside_part:
        what = formatted("holds track %d, which is not its own", problem.track);
        break;
    case ZipcodeFault::sector_outside_track:
        what = formatted("holds sector %d of track %d, which the track does not have", problem.sector, problem.track);
        break;
    case ZipcodeFault::sector_twice:
        what = formatted("holds track %d sector %d twice", problem.track, problem.sector);
        break;
    case ZipcodeFault::unknown_method:
        what = formatted("codes track %d sector %d in an unknown way", problem.track, problem.sector);
        break;
    case ZipcodeFault::sector_overflows:
        what = formatted("fills track %d sector %d past its end", problem.track, problem.sector);
        break;
    case ZipcodeFault::sector_short:
        what = formatted("leaves track %d sector %d short", problem.track, problem.sector);
        break;
    case ZipcodeFault::sector_missing:
        what = formatted("lacks track %d sector %d", problem.track, problem.sector);
        break;
    case ZipcodeFault::trailing_bytes:
        what = "goes on after its last sector";
        break;
    }
    return formatted("Zip-Code set damaged: %s %s.", std::string(part).c_str(), what.c_str());
}

} // namespace mog
