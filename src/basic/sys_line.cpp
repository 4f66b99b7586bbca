#include "basic/sys_line.h"

#include <algorithm>

#include "basic/little_endian.h"

namespace mog {

bool has_sys_token(const SysLine& line) {
    return line.available > SYS_LINE_TOKEN && line.bytes[SYS_LINE_TOKEN] == SYS_TOKEN;
}

bool match_sys_line(const SysLine& line, const std::vector<unsigned>& basic_starts) {
    return has_sys_token(line) &&
           std::find(basic_starts.begin(), basic_starts.end(), line.load_address) != basic_starts.end();
}

unsigned sys_line_number(const SysLine& line) {
    return read_le16(line.bytes + SYS_LINE_NUMBER);
}

void set_sys_line_number(SysLine& line, unsigned line_number) {
    write_le16(line.bytes + SYS_LINE_NUMBER, line_number);
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

} // namespace mog
