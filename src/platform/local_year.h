// The current calendar year in local time.
#pragma once

int local_year();
