#include "process_runner.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

TempFolder::TempFolder() {
    char pattern[] = "/tmp/mog-test-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Folders made read-only by a test must be writable again to be removed.
    for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
        if (entry.is_directory(ignored))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string mog_binary() {
    const char* overridden = std::getenv("MOG_BINARY");
    return overridden != nullptr && *overridden != '\0' ? overridden : MOG_BINARY;
}

void open_to_everyone(const std::string& path) {
    chmod(path.c_str(), 0777);
}

std::string tool_runner() {
    const char* runner = std::getenv("MOG_RUNNER");
    return runner != nullptr ? runner : "";
}

std::string read_file(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool path_exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

std::vector<std::string> folder_entries(const std::string& folder) {
    std::vector<std::string> names;
    for (auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

// A process that has not ended by then is taken as hanging.
constexpr int RUN_TIME_LIMIT_SECONDS = 20;

std::string capture_name(const std::string& label) {
    char pattern[64];
    std::snprintf(pattern, sizeof pattern, "/tmp/mog-%s-XXXXXX", label.c_str());
    int fd = mkstemp(pattern);
    if (fd < 0)
        throw std::runtime_error("mkstemp failed");
    close(fd);
    return pattern;
}

// A copy of the tool that an ordinary user can run: the build folder may
// be closed to others, as a checkout in a folder from mktemp -d is. Made
// once, removed when the tests end.
const std::string& tool_for_everyone() {
    // A plain array: it is still there when the exit handler removes the folder.
    static char folder[] = "/tmp/mog-tool-XXXXXX";
    static const std::string copy = [] {
        if (mkdtemp(folder) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        std::atexit([] { std::filesystem::remove_all(folder); });
        chmod(folder, 0755);
        std::string path = std::string(folder) + "/mog";
        std::filesystem::copy_file(mog_binary(), path);
        chmod(path.c_str(), 0755);
        return path;
    }();
    return copy;
}

[[noreturn]] void exec_child(const std::string& folder, const std::vector<std::string>& arguments,
                             const RunSettings& settings, const std::string& in, const std::string& out,
                             const std::string& err, const std::string& binary) {
    if (settings.close_input) {
        close(STDIN_FILENO);
    } else {
        int input = open(settings.input_file.empty() ? in.c_str() : settings.input_file.c_str(), O_RDONLY);
        dup2(input, STDIN_FILENO);
        close(input);
    }
    int output = open(settings.output_file.empty() ? out.c_str() : settings.output_file.c_str(), O_WRONLY | O_TRUNC);
    int error = open(err.c_str(), O_WRONLY | O_TRUNC);
    dup2(output, STDOUT_FILENO);
    dup2(error, STDERR_FILENO);
    close(output);
    close(error);
    for (int signal_number : settings.ignored_signals)
        signal(signal_number, SIG_IGN);
    if (settings.file_size_limit >= 0) {
        rlimit limit{static_cast<rlim_t>(settings.file_size_limit), static_cast<rlim_t>(settings.file_size_limit)};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (settings.unprivileged && geteuid() == 0) {
        constexpr uid_t NOBODY = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(NOBODY) != 0 || setuid(NOBODY) != 0)
            _exit(125);
    }
    if (chdir(folder.c_str()) != 0)
        _exit(126);
    for (const auto& [name, value] : settings.environment)
        setenv(name.c_str(), value.c_str(), 1);

    exec_tool(arguments, binary);
}

} // namespace

void exec_tool(const std::vector<std::string>& arguments, const std::string& binary) {
    std::vector<std::string> words;
    if (!tool_runner().empty())
        words.push_back(tool_runner());
    words.push_back(binary.empty() ? mog_binary() : binary);
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

int wait_for(int child, int seconds) {
    int wait_status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (waitpid(child, &wait_status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &wait_status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
}

ProcessResult run_mog(const std::string& folder, const std::vector<std::string>& arguments,
                      const RunSettings& settings) {
    std::string in = capture_name("in"), out = capture_name("out"), err = capture_name("err");
    write_file(in, settings.input);

    // Made before the fork, so that the copy is made and removed only once.
    const std::string binary = settings.unprivileged && geteuid() == 0 ? tool_for_everyone() : "";
    pid_t child = fork();
    if (child == 0)
        exec_child(folder, arguments, settings, in, out, err, binary);

    ProcessResult result;
    result.status = wait_for(child, RUN_TIME_LIMIT_SECONDS);
    result.out = read_file(out);
    result.err = read_file(err);
    unlink(in.c_str());
    unlink(out.c_str());
    unlink(err.c_str());
    return result;
}

std::string usage_after_failure() {
    // The tool's own text, as an unknown option makes it print it: the
    // tests compare where it appears, not a copy of its words.
    static const std::string usage = [] {
        TempFolder folder;
        return run_mog(folder.path(), {"-?"}).out;
    }();
    return usage;
}

int current_year() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}
