// Printing a window: the page the print dialog describes, drawn by the
// view's painter as PostScript, sent to the printer or written to a file.
#pragma once
#include <fx.h>

struct WindowRecord;

// False when the printer or the file cannot be opened or written.
bool printWindow(WindowRecord *w, const FXPrinter &printer);
