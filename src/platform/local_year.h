// The current calendar year in local time.
#pragma once

namespace mog {

int local_year();

} // namespace mog
