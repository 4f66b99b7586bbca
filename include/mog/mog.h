// The mog library: Commodore containers, their programs and the pass that
// looks at or sets the line numbers of their BASIC start lines.
#pragma once

#include "mog/bytes.h"
#include "mog/container.h"
#include "mog/describe.h"
#include "mog/files.h"
#include "mog/json.h"
#include "mog/line_number.h"
#include "mog/machines.h"
#include "mog/names.h"
#include "mog/pass.h"
#include "mog/petscii.h"
#include "mog/records.h"
#include "mog/sources.h"
#include "mog/verdict.h"
#include "mog/version.h"
#include "mog/walk.h"
