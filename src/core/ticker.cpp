#include "core/ticker.h"

#include <climits>

Ticker gTicker;

// The loop needs almost no stack; the default (often 8 MB of address space)
// is what fails first under a memory limit.
constexpr size_t kTickerStack = 64 * 1024;

bool Ticker::start(std::chrono::milliseconds every) {
  if (started)
    return true;
  stopFlag.store(0);
  tickCount.store(0);
  period = every;
  pthread_attr_t attr;
  if (pthread_attr_init(&attr) != 0)
    return false;
  const size_t least = size_t(PTHREAD_STACK_MIN);
  pthread_attr_setstacksize(&attr, kTickerStack < least ? least : kTickerStack);
  started = pthread_create(&thread, &attr, &Ticker::run, this) == 0;
  pthread_attr_destroy(&attr);
  return started;
}

void *Ticker::run(void *self) {
  static_cast<Ticker *>(self)->loop();
  return nullptr;
}

void Ticker::loop() {
  std::unique_lock<std::mutex> lock(mutex);
  auto next = std::chrono::steady_clock::now() + period;
  while (!stopFlag.load()) {
    // Woken early by stop(); a spurious wake just re-checks the flag.
    if (wake.wait_until(lock, next) == std::cv_status::timeout) {
      tickCount.fetch_add(1, std::memory_order_relaxed);
      next += period;
    }
  }
  stopFlag.store(0);
  tickCount.store(0);
}

void Ticker::stop() {
  if (!started)
    return;
  tickCount.store(1);
  {
    std::lock_guard<std::mutex> lock(mutex);
    stopFlag.store(1);
  }
  wake.notify_all();
  pthread_join(thread, nullptr);
  started = false;
}
