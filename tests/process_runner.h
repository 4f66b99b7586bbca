// Runs the built tool as a whole process in a fresh folder and captures
// everything it does.
#pragma once

#include <string>
#include <vector>

struct ProcessResult {
    int status = -1; // exit status, or 128 + signal
    std::string out; // standard output bytes
    std::string err; // standard error bytes
};

struct RunSettings {
    std::string input;                                            // standard input bytes
    std::string input_file;                                       // standard input from this path (a FIFO) instead
    bool close_input = false;                                     // standard input closed instead
    long file_size_limit = -1;                                    // bytes, as ulimit -f sets it
    bool unprivileged = false;                                    // run as an ordinary user even under root, so
                                                                  // that permission bits apply
    std::vector<std::pair<std::string, std::string>> environment; // added variables
    std::string output_file;                                      // standard output goes here instead of being captured
    std::vector<int> ignored_signals;                             // the tool starts with these set to be ignored
};

// A new empty folder, removed with everything in it when the test ends.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// The tool's path; MOG_BINARY in the environment overrides the built one.
std::string mog_binary();

// The program that runs the tool, such as wine for a Windows build; empty
// when the tool runs by itself.
std::string tool_runner();

// For tests of what only the POSIX build does, or what the runner cannot
// show: they say so in the output instead of passing silently.
#define SKIP_UNDER_RUNNER(reason)                                                                                      \
    do {                                                                                                               \
        if (!tool_runner().empty())                                                                                    \
            GTEST_SKIP() << "not run under " << tool_runner() << ": " << (reason);                                     \
    } while (false)

// Replaces the calling (child) process with the tool and the arguments;
// the given binary instead of mog_binary() when one is given.
[[noreturn]] void exec_tool(const std::vector<std::string>& arguments, const std::string& binary = "");

// Waits for a child process, for at most the limit, then kills it; gives its
// exit status, or 128 + the signal that ended it.
int wait_for(int child, int seconds);

// Runs the tool with the arguments, in the folder.
ProcessResult run_mog(const std::string& folder, const std::vector<std::string>& arguments,
                      const RunSettings& settings = {});

// Lets an ordinary user reach and change the folder, for unprivileged runs.
void open_to_everyone(const std::string& path);

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
bool path_exists(const std::string& path);
// Names in the folder, sorted.
std::vector<std::string> folder_entries(const std::string& folder);
// The usage text as printed after a failure, two newlines first.
std::string usage_after_failure();
// The current year in local time, as the tool prints it.
int current_year();
