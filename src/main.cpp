#include "cli/run_sequence.h"

int main(int argc, char** argv) {
    mog::run_sequence(argc, argv);
}
