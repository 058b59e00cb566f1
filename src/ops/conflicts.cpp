#include "ops/conflicts.h"

#include "core/flags.h"
#include "core/session.h"

void MarkConflicts() {}
