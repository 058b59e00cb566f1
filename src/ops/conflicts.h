// Conflicts between hits that are not collinear, and their resolution.
#pragma once

// Recomputes the conflict flag of every hit.
void MarkConflicts();
