// The page's answers for one file, built for this machine: a JSON object of
// what page::list, page::check and page::stamp answer for it, as the page
// would get them from the same bytes and settings. A part of a Zip-Code set
// is answered with the set its parts beside it make (page::list_set, ...);
// a zip or a gzip with what page::admit says of it alone.
//
//   mog_page_api FILE LINE [MACHINES [KEPT]]
//
// Each answer is given fresh bytes; the stamped bytes are not written.
#include <cstdio>
#include <string>

#include <mog/files.h>
#include <mog/sources.h>

#include "page_api.h"

namespace {

// The set's answers, from the parts that can be read beside the one named.
std::string set_answers(const std::string& path, const std::string& name, const mog::page::Choices& choices) {
    std::array<mog::Bytes, 4> bytes;
    mog::page::SetParts set{name, {}};
    for (int part = 1; part <= 4; ++part) {
        mog::FileRead read = mog::read_file(mog::disk_set_part(path, part));
        bytes[part - 1] = std::move(read.bytes);
        if (!read.error)
            set.parts[part - 1] = bytes[part - 1];
    }
    std::vector<unsigned char> written;
    return "{\"list\":" + mog::page::list_set(set, choices) + ",\"check\":" + mog::page::check_set(set, choices) +
           ",\"stamp\":" + mog::page::stamp_set(set, choices, written) + "}\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: mog_page_api FILE LINE [MACHINES [KEPT]]\n");
        return 1;
    }
    const std::string path = argv[1];
    // The page knows a file by its name alone.
    const std::string name = path.substr(path.find_last_of('/') + 1);
    const mog::page::Choices choices{argc > 3 ? argv[3] : "c64", argv[2], argc > 4 ? argv[4] : ""};
    const std::optional<mog::SourceName> source = mog::source_for_name(name);
    std::string answers;
    if (source && source->kind == mog::SourceKind::zipcode) {
        answers = set_answers(path, name, choices);
    } else if (source && source->kind != mog::SourceKind::container) {
        answers = "{\"admit\":" + mog::page::admit(name, 0) + "}\n";
    } else {
        const mog::FileRead read = mog::read_file(path);
        if (read.error) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        answers = "{";
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
    }
    return std::fputs(answers.c_str(), stdout) == EOF || std::fflush(stdout) != 0 ? 1 : 0;
}
