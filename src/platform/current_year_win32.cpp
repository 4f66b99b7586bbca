#include "mog/files.h"

#include <ctime>

namespace mog {

int current_year() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_s(&local, &now) != 0)
        return 1970;
    return local.tm_year + 1900;
}

} // namespace mog
