// Lays out self-dissolving archives (SDA) for the tests, byte by byte, as
// cbmconvert -a extracts them, and runs cbmconvert to check them.
#pragma once

#include <map>
#include <string>
#include <vector>

// One file stored in an archive.
struct ArchivedFile {
    std::string name;     // PETSCII, at most 16 bytes
    std::string bytes;    // the file's content, a PRG's load address included
    char type = 'P';      // S, P, U or R
    unsigned version = 2; // of its entry header: 1 or 2
};

// An SDA-shaped program: a one-line BASIC stub "N SYS<dissolver address>"
// at the load address, a dummy dissolver up to (N - 6) x 254 bytes into the
// file, then an archive holding each file stored (mode 0). N is at least 7.
std::string sda_program(unsigned line_number, const std::vector<ArchivedFile>& files, unsigned load_address = 0x0801);

// The C128 variant: "15 SYS 7182" at $1C01, its archive one byte before
// (15 - 6) x 254.
std::string c128_sda_program(const std::vector<ArchivedFile>& files);

// The entry header and data of one stored file, padded to whole 254-byte
// blocks, as the archive holds it.
std::string archive_entry(const ArchivedFile& file);

// True when cbmconvert can be run from the PATH.
bool cbmconvert_installed();

// What cbmconvert -a made of a file, run in an empty folder.
struct Extraction {
    int status = -1;                          // exit status, or 128 + signal
    std::string messages;                     // standard output and error
    std::map<std::string, std::string> files; // extracted files by name
};
Extraction cbmconvert_extract(const std::string& sda_bytes);
