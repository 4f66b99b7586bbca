// POSIX only: the signals that end the tool by default and so may arrive
// while a file is half written or the terminal is set for single keys.
#pragma once

#include <csignal>

namespace mog {

constexpr int INTERRUPTING_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGALRM, SIGUSR1, SIGUSR2, SIGPIPE};

} // namespace mog
