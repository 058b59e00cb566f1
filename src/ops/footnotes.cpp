#include "ops/footnotes.h"

#include "core/session.h"
#include "core/ui_port.h"
#include "ops/journal_entries.h"
#include "ops/journal_files.h"
#include "output/alignment_files.h"
#include "output/columns.h"

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
  // A failed entry is left behind the end mark and written over next time.
  bool ok = fseek(j.foot, j.footEnd, SEEK_SET) == 0 && writeHitEntry(j.foot, hit, false) &&
            fflush(j.foot) == 0;
  long end = ok ? ftell(j.foot) : -1;
  if (end < 0) {
    clearerr(j.foot);
    reportFootnoteFailure("Cannot write file for footnotes.\n   Filename: %s\n", j.footName);
    return false;
  }
  j.footEnd = end;
  return true;
}

bool SaveFootnotes(const char *fileName) {
  JournalFiles &j = gJournal;
  if (j.foot)
    fflush(j.foot);
  if (!WriteFootnotesHeader(fileName))
    return false;
  if (j.foot) {
    EntryReader r(j.foot, 0, j.footEnd);
    StagedHit staged;
    while (r.peek() == '/' && r.readHit(staged, false)) {
      Hit scratch{};
      scratch.start1 = staged.start1;
      scratch.end1 = staged.end1;
      scratch.start2 = staged.start2;
      scratch.end2 = staged.end2;
      attachStagedBlocks(&scratch, staged);
      if (scratch.firstBlock) {
        scratch.score = CountHitColumns(&scratch, scratch.firstBlock);
        WriteHitLocal(&scratch, scratch.firstBlock);
      }
      for (HitBlock *b = scratch.firstBlock, *next; b; b = next) {
        next = b->next;
        freeBlock(b);
      }
    }
  }
  return CloseFootnotesFile();
}
