// Shared by the driver files only.
#pragma once
#include "core/records.h"

// Unlinks and recycles a hit; the caller rebuilds the lists afterwards.
void deleteNow(Hit *h);
