# Stands in for the test suite when GoogleTest was missing at configure time.
message(FATAL_ERROR "The test suite was left out: GoogleTest was not found when this build was configured. "
                    "Install it (Debian: apt-get install libgtest-dev) and configure again.")
