// Lays out Lynx archives for the tests, byte by byte, as cbmconvert -L
// writes them, and the variants other writers and damage give.
#pragma once

#include <string>
#include <vector>

struct LynxFile {
    std::string name;  // PETSCII, at most 16 bytes
    std::string bytes; // a PRG's load address included
    char type = 'P';   // S, P, U or R; an R file gets a record length of 1
};

struct LynxLayout {
    bool blanks = true; // numbers with blanks around them, or none
    std::string signature = " *LYNX BY CBMCONVERT 2.0*";
    long entry_count = -1;             // as written; -1 for the files given
    long directory_blocks = -1;        // as written; -1 for the blocks the directory takes
    std::size_t directory_padding = 0; // whole blocks of zero bytes added to the directory
    bool pad_last_file = false;        // to whole blocks, as some writers do
};

struct LynxArchive {
    std::string bytes;
    std::vector<std::size_t> starts; // where each file's data begins
};

// The stub, the directory in its blocks, then each file's data in 254-byte
// blocks, the last one unpadded.
LynxArchive lynx_archive(const std::vector<LynxFile>& files, const LynxLayout& layout = {});
