#pragma once
// The "err.txt" writer lives in the foundation library (the result logs report
// their failed writes there too); the jobs include it from here as well.

#include "foundation/error_log.h"
