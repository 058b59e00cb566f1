// The half-second clock of long actions. A background thread only bumps a
// counter; the actions compare it with the value they saw last to decide
// when to update their progress and look for Esc.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class Ticker {
public:
  ~Ticker() { stop(); }
  void start(std::chrono::milliseconds period = std::chrono::milliseconds(500));
  // Returns once the thread has ended; the counter is 0 afterwards. Safe to
  // call when the ticker never started.
  void stop();
  bool running() const { return thread.joinable(); }

  int32_t ticks() const { return tickCount.load(std::memory_order_relaxed); }
  void reset() { tickCount.store(0, std::memory_order_relaxed); }

  // The two words shared with the thread; relaxed atomics, as a lost or extra
  // tick only moves one progress update.
  std::atomic<int32_t> tickCount{0};
  std::atomic<int32_t> stopFlag{0};

private:
  void loop(std::chrono::milliseconds period);
  std::thread thread;
  std::mutex mutex; // only to sleep on; the counter is not guarded by it
  std::condition_variable wake;
};

extern Ticker gTicker;
