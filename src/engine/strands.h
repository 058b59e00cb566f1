// Reverse: the session turned to the other strand of sequence 2. Sequence 2
// is invert-complemented, the second set becomes the session's hits and the
// session's hits the second set, so that every action applies to what was
// found on the other strand; the same call turns it back.
#pragma once

// Also the step around Align's search of the other strand. Selected hits
// stay selected in whichever set they end; the lists are rebuilt.
void reverseStrands();

// Scores of the second set's hits, counted along the other strand (after
// they were read from a file or the journal).
void scoreOtherStrand();
