// The BASIC start line "10 SYS2061" as stored at the start of a program.
#pragma once

#include <cstddef>

constexpr unsigned char BASIC_START_LOW = 0x01; // load address $0801
constexpr unsigned char BASIC_START_HIGH = 0x08;
constexpr unsigned char SYS_TOKEN = 0x9E;

// Offsets within the stored line.
constexpr std::size_t SYS_LINE_LOAD_ADDRESS = 0;
constexpr std::size_t SYS_LINE_NUMBER = 4;
constexpr std::size_t SYS_LINE_TOKEN = 6;
constexpr std::size_t SYS_LINE_TEXT = 7; // rest of the line, up to a zero byte
constexpr std::size_t SYS_LINE_HEADER_SIZE = SYS_LINE_TEXT;

// A start line in a buffer: its first byte and how many bytes of the buffer
// follow from there. Every read below stays within those bytes.
struct SysLine {
    unsigned char* bytes;
    std::size_t available;
};

// True when the load address is $0801 and the first token is SYS.
bool match_sys_line(const SysLine& line);

// True when the bytes hold a token at all and it is SYS.
bool has_sys_token(const SysLine& line);

unsigned sys_line_number(const SysLine& line);
void set_sys_line_number(SysLine& line, unsigned line_number);

// The rest of the line after SYS: its first byte and its length up to the
// terminating zero byte or the end of the available bytes.
std::size_t sys_line_text_length(const SysLine& line);

// The rest of the line converted to console characters in a new text.
// The text must hold sys_line_text_length + 1 bytes.
void convert_sys_line_text(const SysLine& line, char* text);
