#include "basic/sys_line.h"

#include "petscii/petscii.h"

bool has_sys_token(const SysLine& line) {
    return line.available > SYS_LINE_TOKEN && line.bytes[SYS_LINE_TOKEN] == SYS_TOKEN;
}

bool match_sys_line(const SysLine& line) {
    return has_sys_token(line) && line.bytes[SYS_LINE_LOAD_ADDRESS] == BASIC_START_LOW &&
           line.bytes[SYS_LINE_LOAD_ADDRESS + 1] == BASIC_START_HIGH;
}

unsigned sys_line_number(const SysLine& line) {
    return line.bytes[SYS_LINE_NUMBER] | (line.bytes[SYS_LINE_NUMBER + 1] << 8);
}

void set_sys_line_number(SysLine& line, unsigned line_number) {
    line.bytes[SYS_LINE_NUMBER] = static_cast<unsigned char>(line_number & 0xFF);
    line.bytes[SYS_LINE_NUMBER + 1] = static_cast<unsigned char>((line_number >> 8) & 0xFF);
}

std::size_t sys_line_text_length(const SysLine& line) {
    std::size_t length = 0;
    while (SYS_LINE_TEXT + length < line.available && line.bytes[SYS_LINE_TEXT + length] != 0)
        ++length;
    return length;
}

void convert_sys_line_text(const SysLine& line, char* text) {
    convert_petscii_string(text, line.bytes + SYS_LINE_TEXT, sys_line_text_length(line));
}
