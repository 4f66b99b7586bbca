// Every container as a walk that yields its programs one by one.
#pragma once

#include <cstddef>

#include "basic/sys_line.h"
#include "image/container.h"
#include "image/directory_walk.h"
#include "image/tape_walk.h"

// One program of a container.
struct Program {
    const unsigned char* name = nullptr; // its PETSCII name, if the container names it
    std::size_t name_size = 0;
    bool has_start_line = false; // a SYS start line at $0801
    SysLine line;                // where its start line would be
};

// The header that P00 files carry before the program.
constexpr std::size_t P00_HEADER_SIZE = 26;

struct ProgramWalk {
    Container container;
    unsigned char* buffer;
    std::size_t size;
    bool header_missing;     // a P00 without its header, a T64 without its signature
    bool single_given;       // the one program of a PRG or P00 was given
    DirectoryWalk directory; // for disk images
    TapeWalk tape;           // for tape archives
};

ProgramWalk start_program_walk(const Container& container, unsigned char* buffer, std::size_t size);

// The next program, or false at the end. Directory entries in use count as
// programs whatever their file type; empty slots are passed over. A P00
// without its header yields nothing; a tape without its signature is walked
// all the same.
bool next_program(ProgramWalk& walk, Program& program);
