#include "cli/file_pipeline.h"

#include <gtest/gtest.h>

#include "cli/batch_run.h"
#include "cli/batch_sources.h"
#include "cli/command_line.h"
#include "image_builder.h"
#include "memory_file_system.h"
#include "process_runner.h"

namespace {

using namespace mog;

const Reporter SILENT = {
    [](const Options&, const SingleTarget*) {}, [](const Options&, const FileReport&) {},
    [](const Options&, const FileReport&) {}, [](const Options&, const FileReport*, const Failure&) {},
    [](const Options&, const BatchCounts&, bool) {},
};

int year() {
    return 2026;
}

std::string zipcode_part(int part) {
    return read_file(std::string(MOG_SOURCE_DIR) + "/tests/fixtures/zipcode/" + std::to_string(part) + "!sample");
}

std::string disk(unsigned line, unsigned load_address = 0x0801, std::size_t size = IMAGE_SIZE) {
    std::string image = blank_image(size);
    put_entry(image, 18, 1, 0, FILE_PRG, 17, 0, "GAME");
    put_program(image, 17, 0, sys_program(line, "2061", load_address));
    return image;
}

// What became of one file.
struct Result {
    std::string file;
    Outcome outcome;
    int status;

    bool operator==(const Result&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Result& r) {
    return out << r.file << " " << static_cast<int>(r.outcome) << " " << r.status;
}

// Runs the command line's files through the pipeline, as a batch or a single
// run without a question, over the files given.
std::vector<Result> run(MemoryFileSystem& files, std::vector<std::string> arguments, int* batch_status_out = nullptr) {
    arguments.insert(arguments.begin(), "mog");
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    const CommandLine line = read_command_line(static_cast<int>(argv.size()), argv.data(), year);
    EXPECT_FALSE(line.walk_failure.failed() || line.check_failure.failed()) << line.walk_failure.message;
    Session session{line.options, SILENT, files, true};
    std::vector<Result> results;
    std::vector<FileTask> tasks =
        line.options.batch() ? batch_sources(files, line.options.names, line.options.mode == Mode::check)
                             : std::vector<FileTask>{{Place{nullptr, line.target.source}}};
    for (const FileTask& task : tasks)
        if (!task.found_in_folder)
            if (std::optional<FileIdentity> identity = files.identity(task.place))
                session.named_sources.insert(*identity);
    BatchCounts counts;
    for (const FileTask& task : tasks) {
        SingleRun single{line.target, {}};
        for (const FileReport& report : process_file(session, task, line.options.batch() ? nullptr : &single)) {
            results.push_back({report.file, report.outcome, report.failure.status});
            count(counts, report);
        }
    }
    if (batch_status_out != nullptr)
        *batch_status_out = batch_status(line.options, counts);
    return results;
}

// A run's rules, file by file: what is changed, kept, failed, checked, and
// what is written where.
TEST(FilePipeline, RulesFileByFile) {
    const auto unchanged = Outcome::unchanged, changed = Outcome::changed, kept = Outcome::kept,
               failed = Outcome::failed;
    struct Row {
        const char* label;
        std::vector<std::pair<std::string, std::string>> files; // a content of "->x" is a link to x
        std::vector<std::string> arguments;
        std::vector<Result> results;
        std::vector<std::string> written;
        int status = -1; // the batch's, where it matters
        std::string rewritten = ""; // a file another program writes between the read and the write
    };
    const std::vector<Row> rows = {
        {"a change goes beside the file", {{"d/a.d64", disk(10)}}, {"--batch", "d"},
         {{"d/a.d64", changed, 0}}, {"d/a.out.d64"}},
        {"a file that has the number is left alone", {{"d/a.d64", disk(2026)}}, {"--batch", "d"},
         {{"d/a.d64", unchanged, 0}}, {}},
        {"an existing destination is kept", {{"d/a.d64", disk(10)}, {"d/a.out.d64", "x"}}, {"--batch", "d"},
         {{"d/a.d64", kept, 5}}, {}},
        {"-y replaces it", {{"d/a.d64", disk(10)}, {"d/a.out.d64", "x"}}, {"--batch", "-y", "d"},
         {{"d/a.d64", changed, 0}}, {"d/a.out.d64"}},
        {"a link at the destination is kept", {{"d/a.d64", disk(10)}, {"d/a.out.d64", "->a.d64"}},
         {"--batch", "-y", "d"}, {{"d/a.d64", kept, 5}}, {}},
        {"in place the file itself is replaced", {{"d/a.d64", disk(10)}}, {"--in-place", "d"},
         {{"d/a.d64", changed, 0}}, {"d/a.d64"}},
        {"a link found in a folder is passed over", {{"d/a.d64", "->../a.d64"}, {"a.d64", disk(10)}},
         {"--in-place", "d"}, {}, {}},
        {"a check fails a lacking line", {{"d/a.d64", disk(10)}}, {"--check", "--batch", "d"},
         {{"d/a.d64", unchanged, 4}}, {}},
        {"a check passes a line with the number", {{"d/a.d64", disk(2026)}}, {"--check", "--batch", "d"},
         {{"d/a.d64", unchanged, 0}}, {}},
        {"a check fails an empty disk", {{"e.d64", blank_image()}}, {"--check", "--batch", "e.d64"},
         {{"e.d64", unchanged, 4}}, {}},
        {"a check fails a disk of C128 programs", {{"c.d71", disk(10, 0x1C01, 349696)}}, {"--check", "c.d71"},
         {{"c.d71", unchanged, 4}}, {}},
        {"a check fails a program without its start line", {{"c.prg", sys_program(10, "2061", 0x1C01)}},
         {"--check", "c.prg"}, {{"c.prg", unchanged, 4}}, {}},
        {"a batch lists a program without its start line", {{"c.prg", sys_program(10, "2061", 0x1C01)}},
         {"--batch", "c.prg"}, {{"c.prg", unchanged, 2}}, {}},
        {"a single run fails on it", {{"c.prg", sys_program(10, "2061", 0x1C01)}}, {"c.prg"},
         {{"c.prg", failed, 2}}, {}},
        {"a file that only looks like a P00 is passed over in a folder", {{"d/x.p64", "flux"}},
         {"--batch", "d"}, {}, {}},
        {"and fails when named", {{"x.p64", "flux"}}, {"--batch", "x.p64"}, {{"x.p64", failed, 2}}, {}},
        {"a name of no kind fails", {{"x.txt", "text"}}, {"--batch", "x.txt"}, {{"x.txt", failed, 1}}, {}},
        {"a missing file fails", {}, {"--batch", "gone.d64"}, {{"gone.d64", failed, 1}}, {}},
        {"a file named twice is taken once", {{"a.d64", disk(10)}, {"b.d64", "->a.d64"}},
         {"--in-place", "a.d64", "b.d64"}, {{"a.d64", changed, 0}}, {"a.d64"}},
        {"two sources with one destination", {{"a.d64", disk(10)}, {"a.D64", disk(11)}}, {"--batch", "a.d64", "a.D64"},
         {{"a.d64", changed, 0}, {"a.D64", failed, 3}}, {"a.out.d64"}},
        {"a single run writes its destination", {{"a.d64", disk(2026)}}, {"a.d64", "b.d64"},
         {{"a.d64", changed, 0}}, {"b.d64"}},
        {"a check of nothing fails", {{"d/x.txt", "text"}}, {"--check", "--batch", "d"}, {}, {}, 4},
        {"a check looks at earlier outputs too", {{"d/a.out.d64", disk(10)}}, {"--check", "--batch", "d"},
         {{"d/a.out.d64", unchanged, 4}}, {}, 4},
        {"a check may pass files without a start line", {{"d/e.d64", blank_image()}, {"d/c.prg", sys_program(1, "", 0x1C01)}},
         {"--check", "--batch", "--allow-no-start-line", "d"}, {{"d/c.prg", unchanged, 0}, {"d/e.d64", unchanged, 0}}, {}, 0},
        {"but not lacking numbers", {{"d/e.d64", blank_image()}, {"d/a.d64", disk(10)}},
         {"--check", "--batch", "--allow-no-start-line", "d"}, {{"d/a.d64", unchanged, 4}, {"d/e.d64", unchanged, 0}},
         {}, 4},
        {"a set named by two of its parts is taken once, only its changed part replaced",
         {{"1!s", zipcode_part(1)}, {"2!s", zipcode_part(2)}, {"3!s", zipcode_part(3)}, {"4!s", zipcode_part(4)}},
         {"--in-place", "3!s", "1!s"}, {{"3!s", changed, 0}}, {"1!s"}},
        {"a search takes a set once, by its first part",
         {{"d/2!s", zipcode_part(2)}, {"d/1!s", zipcode_part(1)}, {"d/4!s", zipcode_part(4)}, {"d/3!s", zipcode_part(3)}},
         {"--in-place", "d"}, {{"d/1!s", changed, 0}}, {"d/1!s"}},
        {"a named source is no destination", {{"a.prg", sys_program(10)}, {"a.out.prg", sys_program(10)}},
         {"--batch", "-y", "a.prg", "a.out.prg"}, {{"a.prg", kept, 5}, {"a.out.prg", changed, 0}}, {"a.out.out.prg"}, 5},
        {"in place, a file changed meanwhile is kept", {{"d/a.d64", disk(10)}}, {"--in-place", "d"},
         {{"d/a.d64", failed, 3}}, {}, 3, "d/a.d64"},
        {"and so is a file written over itself", {{"a.d64", disk(10)}}, {"-y", "a.d64", "a.d64"},
         {{"a.d64", failed, 3}}, {}, -1, "a.d64"},
        {"another file changed meanwhile is replaced", {{"a.d64", disk(10)}, {"b.d64", "old"}},
         {"-y", "a.d64", "b.d64"}, {{"a.d64", changed, 0}}, {"b.d64"}, -1, "b.d64"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        MemoryFileSystem files;
        for (const auto& [path, content] : row.files) {
            const std::string::size_type slash = path.rfind('/');
            if (slash != std::string::npos)
                files.folder(path.substr(0, slash));
            if (content.rfind("->", 0) == 0)
                files.link(path, content.substr(2));
            else
                files.file(path, content);
        }
        if (!row.rewritten.empty())
            files.before_replace = [&](const Place&) { files.file(row.rewritten, "new"); };
        int status = -1;
        EXPECT_EQ(run(files, row.arguments, &status), row.results);
        EXPECT_EQ(files.replaced, row.written);
        if (row.status >= 0) {
            EXPECT_EQ(status, row.status);
        }
    }
}

} // namespace
