#include "core/signal_cleanup.h"

#include <csignal>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

namespace {
constexpr size_t kNameBytes = 4096;
char gNames[kCleanupSlots][kNameBytes];
// A slot is read by the handler only while its flag is up, so a name being
// rewritten is never half-used.
volatile sig_atomic_t gArmed[kCleanupSlots];

void removeOnSignal(int sig) {
  for (int i = 0; i < kCleanupSlots; ++i)
    if (gArmed[i])
      unlink(gNames[i]);
  signal(sig, SIG_DFL);
  raise(sig);
}

void install() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction old;
    if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) {
      struct sigaction sa;
      memset(&sa, 0, sizeof sa);
      sa.sa_handler = removeOnSignal;
      sigemptyset(&sa.sa_mask);
      sigaction(sig, &sa, nullptr);
    }
  }
}
} // namespace

void setRemoveOnSignal(int slot, const char *name) {
  if (slot < 0 || slot >= kCleanupSlots)
    return;
  gArmed[slot] = 0;
  if (!name || !*name || strlen(name) >= kNameBytes)
    return;
  memcpy(gNames[slot], name, strlen(name) + 1);
  gArmed[slot] = 1;
  install();
}
