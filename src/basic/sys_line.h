// The BASIC start line "10 SYS2061" of a machine-code program.
#pragma once

#include <cstddef>
#include <vector>

namespace mog {

constexpr unsigned BASIC_START = 0x0801; // where BASIC programs load on the C64
constexpr unsigned char SYS_TOKEN = 0x9E;

// Offsets from the line's link bytes (the address of the next line).
constexpr std::size_t SYS_LINE_NUMBER = 2;
constexpr std::size_t SYS_LINE_TOKEN = 4;
constexpr std::size_t SYS_LINE_TEXT = 5; // rest of the line, up to a zero byte

// Bytes of the load address stored before a program in a PRG file or a disk
// sector.
constexpr std::size_t LOAD_ADDRESS_SIZE = 2;

// A start line in a buffer: the address its program loads at, which the
// container stores before the line or elsewhere, and the bytes from the
// line's link on, with how many of them the buffer holds. Every read stays
// within those bytes.
struct SysLine {
    unsigned load_address = 0;
    unsigned char* bytes = nullptr;
    std::size_t available = 0;
};

// True when the bytes reach the first token and it is SYS.
bool has_sys_token(const SysLine& line);

// True when the line has the SYS token and loads at one of the addresses.
bool match_sys_line(const SysLine& line, const std::vector<unsigned>& basic_starts);

// The line number; the line must have its SYS token.
unsigned sys_line_number(const SysLine& line);
void set_sys_line_number(SysLine& line, unsigned line_number);

// The rest of the line after SYS: its length up to the terminating zero byte
// or the end of the available bytes.
const unsigned char* sys_line_text(const SysLine& line);
std::size_t sys_line_text_length(const SysLine& line);

} // namespace mog
