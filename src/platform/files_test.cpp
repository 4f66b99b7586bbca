#include "mog/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

#include "platform/file_access.h"

namespace {

using namespace mog;

std::string temporary_folder() {
    char pattern[] = "/tmp/mog-unit-XXXXXX";
    EXPECT_NE(mkdtemp(pattern), nullptr);
    return pattern;
}

std::optional<int> write_error(const std::string& name, std::span<const unsigned char> bytes, bool replace) {
    std::optional<FileError> error = replace_file(name, bytes, replace);
    if (!error)
        return std::nullopt;
    EXPECT_EQ(error->step, FileStep::write);
    EXPECT_EQ(error->name, name);
    return error->code;
}

TEST(Files, ReadWhatWasWrittenAndReportWhyNot) {
    std::string folder = temporary_folder();
    std::string name = folder + "/file.prg";
    const unsigned char bytes[] = {1, 8, 0, 0xFF, 0};
    ASSERT_EQ(write_error(name, bytes, false), std::nullopt);
    EXPECT_EQ(path_kind(name.c_str()), PathKind::regular_file);
    EXPECT_EQ(write_error(name, std::span(bytes, 0), false), EEXIST); // a name that must be free is not replaced

    FileRead read = read_file(name);
    ASSERT_FALSE(read.error);
    EXPECT_TRUE(std::equal(read.bytes.begin(), read.bytes.end(), std::begin(bytes), std::end(bytes)));

    ASSERT_EQ(write_error(name, std::span(bytes, 0), true), std::nullopt);
    read = read_file(name, std::move(read.bytes)); // the buffer is reused
    ASSERT_FALSE(read.error);
    EXPECT_TRUE(read.bytes.empty());

    struct Case {
        std::string name;
        FileStep step;
        int code;
    };
    const Case cases[] = {
        {folder, FileStep::read, EISDIR},
        {folder + "/absent", FileStep::find, ENOENT},
        {folder + "/file.prg/below", FileStep::find, ENOTDIR},
        {name + std::string(1, '\0') + ".d64", FileStep::read, EINVAL},
    };
    for (const auto& c : cases) {
        read = read_file(c.name);
        ASSERT_TRUE(read.error) << c.name;
        EXPECT_EQ(read.error->step, c.step) << c.name;
        EXPECT_EQ(read.error->code, c.code) << c.name;
        EXPECT_TRUE(read.bytes.empty());
    }
    EXPECT_EQ(write_error(name + std::string(1, '\0') + ".d64", bytes, true), EINVAL);
    EXPECT_TRUE(read_file(name).bytes.empty()); // file.prg is left alone
    EXPECT_EQ(path_kind((folder + "/absent").c_str()), PathKind::absent);
    EXPECT_EQ(write_error(folder + "/absent/file.prg", bytes, true), ENOENT);
    // Replacing a folder fails and leaves it in place.
    EXPECT_EQ(write_error(folder, bytes, true), EISDIR);
    struct stat info {};
    EXPECT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));

    // Large files take memory of another kind; every byte arrives all the same.
    std::vector<unsigned char> large(819200 + 1);
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<unsigned char>(i * 7 + i / 256);
    ASSERT_EQ(write_error(name, large, true), std::nullopt);
    read = read_file(name);
    ASSERT_FALSE(read.error);
    EXPECT_TRUE(std::equal(read.bytes.begin(), read.bytes.end(), large.begin(), large.end()));

    // A file above the limit is refused before it is read.
    ASSERT_EQ(truncate(name.c_str(), static_cast<off_t>(MAX_FILE_SIZE)), 0);
    EXPECT_FALSE(read_file(name).error);
    ASSERT_EQ(truncate(name.c_str(), static_cast<off_t>(MAX_FILE_SIZE + 1)), 0);
    read = read_file(name);
    ASSERT_TRUE(read.error);
    EXPECT_EQ(read.error->code, EFBIG);

    unlink(name.c_str());
    EXPECT_EQ(rmdir(folder.c_str()), 0) << "a temporary file was left behind";
}

// Names that are no regular file are never read: a FIFO would hang the read,
// a device never end it. Links that lead nowhere are not found.
TEST(Files, OnlyRegularFilesAreRead) {
    std::string folder = temporary_folder();
    const std::string fifo = folder + "/fifo.prg", dangling = folder + "/dangling.prg", loop = folder + "/loop.prg";
    const std::string socket_name = folder + "/socket.prg";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A socket cannot even be opened: it is there, but cannot be read.
    int listening = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socket_name.size(), sizeof address.sun_path);
    std::copy(socket_name.begin(), socket_name.end(), address.sun_path);
    ASSERT_EQ(bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(symlink("absent.prg", dangling.c_str()), 0);
    ASSERT_EQ(symlink("loop.prg", loop.c_str()), 0);
    struct Case {
        std::string name;
        PathKind kind;
        FileStep step;
        int code;
    };
    const Case cases[] = {
        {fifo, PathKind::other, FileStep::read, NOT_A_REGULAR_FILE},
        {"/dev/zero", PathKind::other, FileStep::read, NOT_A_REGULAR_FILE},
        {folder, PathKind::folder, FileStep::read, EISDIR},
        {dangling, PathKind::dangling_link, FileStep::find, ENOENT},
        {loop, PathKind::link_loop, FileStep::find, ELOOP},
        {socket_name, PathKind::other, FileStep::read, ENXIO},
    };
    const unsigned char bytes[] = {1, 8};
    EXPECT_EQ(write_error(fifo, bytes, true), NOT_A_REGULAR_FILE); // and it stays a FIFO
    EXPECT_EQ(path_kind(fifo.c_str()), PathKind::other);
    for (const auto& c : cases) {
        EXPECT_EQ(path_kind(c.name.c_str()), c.kind) << c.name;
        FileRead read = read_file(c.name);
        ASSERT_TRUE(read.error) << c.name;
        EXPECT_EQ(read.error->step, c.step) << c.name;
        EXPECT_EQ(read.error->code, c.code) << c.name;
    }
    close(listening);
    for (const std::string& name : {fifo, dangling, loop, socket_name})
        unlink(name.c_str());
    rmdir(folder.c_str());
}

void noted(int) {}

// The library changes nothing of the process that hosts it: its signal
// handlers and mask and its umask stay, and a new file is created under the
// umask while a replaced one keeps its mode, special bits included.
TEST(Files, HostProcessStaysAsItWas) {
    struct sigaction handler {}, now {};
    handler.sa_handler = noted;
    for (int signal_number : {SIGXFSZ, SIGINT})
        ASSERT_EQ(sigaction(signal_number, &handler, nullptr), 0);
    sigset_t mask{}, mask_after{};
    pthread_sigmask(SIG_SETMASK, nullptr, &mask);
    const mode_t host_umask = umask(027);
    std::string folder = temporary_folder();
    const unsigned char bytes[] = {1, 8};
    ASSERT_EQ(write_error(folder + "/new.prg", bytes, false), std::nullopt);
    ASSERT_EQ(write_error(folder + "/set.prg", bytes, false), std::nullopt);
    ASSERT_EQ(chmod((folder + "/set.prg").c_str(), 04755), 0);
    ASSERT_EQ(write_error(folder + "/set.prg", bytes, true), std::nullopt);

    EXPECT_EQ(umask(host_umask), 027);
    pthread_sigmask(SIG_SETMASK, nullptr, &mask_after);
    EXPECT_EQ(std::memcmp(&mask, &mask_after, sizeof mask), 0);
    for (int signal_number : {SIGXFSZ, SIGINT}) {
        sigaction(signal_number, nullptr, &now);
        EXPECT_EQ(now.sa_handler, &noted) << signal_number;
        std::signal(signal_number, SIG_DFL);
    }
    for (auto [name, mode] : {std::pair{"/new.prg", 0640u}, std::pair{"/set.prg", 04755u}}) {
        struct stat info {};
        EXPECT_EQ(stat((folder + name).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode) << name;
        unlink((folder + name).c_str());
    }
    EXPECT_EQ(rmdir(folder.c_str()), 0) << "a temporary file was left behind";
}

} // namespace
