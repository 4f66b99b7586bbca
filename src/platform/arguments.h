// The command line's arguments as UTF-8 text.
#pragma once

namespace mog {

// The arguments main was given, in UTF-8 whatever the system's code page;
// argument 0 is the name the tool was invoked by.
char** utf8_arguments(int argc, char** argv);

} // namespace mog
