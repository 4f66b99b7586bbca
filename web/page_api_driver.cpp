// The page's answers for one file, built for this machine: a JSON object of
// what page::list, page::check and page::stamp answer for it, as the page
// would get them from the same bytes and settings.
//
//   mog_page_api FILE LINE [MACHINES [KEPT]]
//
// Each answer is given fresh bytes; the stamped bytes are not written.
#include <cstdio>
#include <string>

#include <mog/files.h>

#include "page_api.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: mog_page_api FILE LINE [MACHINES [KEPT]]\n");
        return 1;
    }
    const std::string path = argv[1];
    const mog::FileRead read = mog::read_file(path);
    if (read.error) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return 1;
    }
    // The page knows a file by its name alone.
    const std::string name = path.substr(path.find_last_of('/') + 1);
    const mog::page::Choices choices{argc > 3 ? argv[3] : "c64", argv[2], argc > 4 ? argv[4] : ""};
    std::string answers = "{";
    const struct {
        const char* key;
        std::string (*answer)(std::string_view, std::span<unsigned char>, const mog::page::Choices&);
    } calls[] = {{"list", mog::page::list}, {"check", mog::page::check}, {"stamp", mog::page::stamp}};
    for (const auto& call : calls) {
        mog::Bytes bytes = read.bytes;
        answers += std::string(answers.size() > 1 ? "," : "") + "\"" + call.key + "\":";
        answers += call.answer(name, bytes, choices);
    }
    answers += "}\n";
    return std::fputs(answers.c_str(), stdout) == EOF || std::fflush(stdout) != 0 ? 1 : 0;
}
