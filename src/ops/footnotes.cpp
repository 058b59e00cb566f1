#include "ops/footnotes.h"

#include "core/session.h"
#include "core/strands.h"
#include "core/ui_port.h"
#include "ops/journal_entries.h"
#include "ops/journal_files.h"

namespace {
void reportFootnoteFailure(const char *format, const char *name) {
  char text[kTempNameSize + 80];
  snprintf(text, sizeof text, format, name);
  ui()->messageBox("Error", text, Buttons::Ok, kAnswerOk);
}
} // namespace

bool AppendFootnote(const Hit *hit) {
  JournalFiles &j = gJournal;
  if (!hit->firstBlock)
    return true;
  if (!j.foot) {
    reportFootnoteFailure("Cannot open file for footnotes.\n   Filename: %s\n", j.lastFootTried);
    return false;
  }
  // A hit of the other strand says so with a fifth number, its set's flag.
  Hit marked = *hit;
  marked.flags = kHitOtherStrand;
  const bool other = onOtherStrand(hit);
  // A failed entry is left behind the end mark and written over next time.
  bool ok = fseek(j.foot, j.footEnd, SEEK_SET) == 0 &&
            writeHitEntry(j.foot, other ? &marked : hit, other) && fflush(j.foot) == 0;
  long end = ok ? ftell(j.foot) : -1;
  if (end < 0) {
    clearerr(j.foot);
    reportFootnoteFailure("Cannot write file for footnotes.\n   Filename: %s\n", j.footName);
    return false;
  }
  j.footEnd = end;
  return true;
}
