#include "core/ui_port.h"

#include <cstdio>
#include <cstring>

static UiPort *gPort = nullptr;

HeadlessUi &headlessUi() {
  static HeadlessUi port;
  return port;
}

UiPort *ui() { return gPort ? gPort : &headlessUi(); }
void setUi(UiPort *port) { gPort = port; }

Answer HeadlessUi::messageBox(const char *title, const char *text, Buttons, Answer dflt) {
  if (strcmp(title, "Error") == 0)
    ++errorCount;
  if (!quiet) {
    // Messages end with their own line break most of the time.
    size_t n = strlen(text);
    fprintf(stderr, "%s: %s%s", title, text, n && text[n - 1] == '\n' ? "" : "\n");
  }
  return dflt;
}

void HeadlessUi::setInfoLine(const char *text) {
  snprintf(info, sizeof info, "%s", text);
}
