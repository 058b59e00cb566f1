#include "core/ticker.h"

Ticker gTicker;

void Ticker::start(std::chrono::milliseconds period) {
  if (thread.joinable())
    return;
  stopFlag.store(0);
  tickCount.store(0);
  thread = std::thread(&Ticker::loop, this, period);
}

void Ticker::loop(std::chrono::milliseconds period) {
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
  if (!thread.joinable())
    return;
  tickCount.store(1);
  {
    std::lock_guard<std::mutex> lock(mutex);
    stopFlag.store(1);
  }
  wake.notify_all();
  thread.join();
}
