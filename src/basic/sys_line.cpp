#include "basic/sys_line.h"

SysLine sys_line_after_load_address(unsigned char* bytes, std::size_t available) {
    if (available < LOAD_ADDRESS_SIZE)
        return SysLine{0, bytes + available, 0};
    return SysLine{static_cast<unsigned>(bytes[0] | (bytes[1] << 8)), bytes + LOAD_ADDRESS_SIZE,
                   available - LOAD_ADDRESS_SIZE};
}

bool has_sys_token(const SysLine& line) {
    return line.available > SYS_LINE_TOKEN && line.bytes[SYS_LINE_TOKEN] == SYS_TOKEN;
}

bool match_sys_line(const SysLine& line) {
    return has_sys_token(line) && line.load_address == BASIC_START;
}

unsigned sys_line_number(const SysLine& line) {
    return line.bytes[SYS_LINE_NUMBER] | (line.bytes[SYS_LINE_NUMBER + 1] << 8);
}

void set_sys_line_number(SysLine& line, unsigned line_number) {
    line.bytes[SYS_LINE_NUMBER] = static_cast<unsigned char>(line_number & 0xFF);
    line.bytes[SYS_LINE_NUMBER + 1] = static_cast<unsigned char>((line_number >> 8) & 0xFF);
}

const unsigned char* sys_line_text(const SysLine& line) {
    return line.bytes + SYS_LINE_TEXT;
}

std::size_t sys_line_text_length(const SysLine& line) {
    std::size_t length = 0;
    while (SYS_LINE_TEXT + length < line.available && line.bytes[SYS_LINE_TEXT + length] != 0)
        ++length;
    return length;
}
