#include "sda_builder.h"

#include "process_runner.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::size_t BLOCK = 254;

void append_le(std::string& bytes, unsigned long value, int size) {
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Version 1 adds the bytes; version 2 first mixes each with a counter that
// runs from 1 and wraps at a byte, as cbmconvert checks it.
unsigned checksum(const ArchivedFile& file) {
    unsigned sum = 0;
    unsigned char counter = 0;
    for (char c : file.bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (file.version == 2)
            byte ^= ++counter;
        sum = (sum + byte) & 0xFFFF;
    }
    return sum;
}

// "SYS" and its text point at the first byte after the stub's end of program.
std::string sys_text_for(unsigned load_address, const std::string& prefix) {
    for (std::size_t digits = 1;; ++digits) {
        // Line link, line number, SYS token, text, zero byte, end of program.
        unsigned address = load_address + 2 + 2 + 1 + static_cast<unsigned>(prefix.size() + digits) + 1 + 2;
        std::string text = std::to_string(address);
        if (text.size() == digits)
            return prefix + text;
    }
}

std::string stub(unsigned line_number, unsigned load_address, const std::string& text) {
    std::string program;
    append_le(program, load_address, 2);
    append_le(program, load_address + 2 + 2 + 1 + text.size() + 1, 2);
    append_le(program, line_number, 2);
    program += '\x9E';
    program += text;
    program += '\0';
    program += std::string("\0\0", 2);
    return program;
}

// Stands for the dissolver's machine code: anything but zeros.
void fill_dissolver(std::string& program, std::size_t end) {
    for (std::size_t i = 0; program.size() < end; ++i)
        program += static_cast<char>(0x20 + (i * 37) % 0xC0);
}

std::string layout(unsigned line_number, const std::vector<ArchivedFile>& files, unsigned load_address,
                   const std::string& text) {
    if (line_number < 7)
        throw std::invalid_argument("a dissolver takes at least one block: line 7 or more");
    std::size_t archive = (line_number - 6) * BLOCK;
    if (line_number == 15 && text.size() > 1 && text[1] == '7')
        archive -= 1; // the C128 dissolver's archive
    std::string program = stub(line_number, load_address, text);
    fill_dissolver(program, archive);
    for (const auto& file : files)
        program += archive_entry(file);
    return program;
}

} // namespace

std::string archive_entry(const ArchivedFile& file) {
    if (file.version != 1 && file.version != 2)
        throw std::invalid_argument("entry header version 1 or 2");
    if (file.name.size() > 16)
        throw std::invalid_argument("names of at most 16 bytes");
    std::string entry;
    entry += static_cast<char>(file.version);
    entry += '\0'; // stored
    append_le(entry, checksum(file), 2);
    append_le(entry, file.bytes.size(), 3);
    const std::size_t header = 11 + file.name.size() + (file.version == 2 ? 3 : 0);
    // The header counts: the next entry starts that many blocks after this one's first byte.
    append_le(entry, (header + file.bytes.size() + BLOCK - 1) / BLOCK, 2);
    entry += file.type;
    entry += static_cast<char>(file.name.size());
    entry += file.name;
    if (file.version == 2)
        entry += std::string(3, '\0'); // record length, date
    entry += file.bytes;
    entry.resize((entry.size() + BLOCK - 1) / BLOCK * BLOCK, '\0');
    return entry;
}

std::string sda_program(unsigned line_number, const std::vector<ArchivedFile>& files, unsigned load_address) {
    return layout(line_number, files, load_address, sys_text_for(load_address, ""));
}

std::string c128_sda_program(const std::vector<ArchivedFile>& files) {
    return layout(15, files, 0x1C01, sys_text_for(0x1C01, " "));
}

bool cbmconvert_installed() {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':'))
        if (!folder.empty() && access((folder + "/cbmconvert").c_str(), X_OK) == 0)
            return true;
    return false;
}

Extraction cbmconvert_extract(const std::string& sda_bytes) {
    TempFolder folder;
    write_file(folder / "archive.sda", sda_bytes);
    // The files come out in a folder of their own, the messages beside it.
    const std::string out = folder / "out";
    const std::string messages = folder / "messages";
    mkdir(out.c_str(), 0700);
    pid_t child = fork();
    if (child == 0) {
        int input = open("/dev/null", O_RDONLY);
        int output = open(messages.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (input < 0 || output < 0 || chdir(out.c_str()) != 0)
            _exit(126);
        dup2(input, STDIN_FILENO);
        dup2(output, STDOUT_FILENO);
        dup2(output, STDERR_FILENO);
        execlp("cbmconvert", "cbmconvert", "-a", "../archive.sda", static_cast<char*>(nullptr));
        _exit(127);
    }

    // A damaged archive can make it write the same entry again and again.
    Extraction result;
    result.status = wait_for(child, 20);
    result.messages = read_file(messages);
    for (const auto& name : folder_entries(out))
        result.files[name] = read_file(out + "/" + name);
    return result;
}
