// The half-second clock of long actions. A background thread only bumps a
// counter; the actions compare it with the value they saw last to decide
// when to update their progress and look for Esc.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <pthread.h>

class Ticker {
public:
  ~Ticker() { stop(); }
  // False when the thread cannot be had (memory limits): the program goes on
  // without progress updates rather than ending.
  bool start(std::chrono::milliseconds period = std::chrono::milliseconds(500));
  // Returns once the thread has ended; the counter is 0 afterwards. Safe to
  // call when the ticker never started.
  void stop();
  bool running() const { return started; }

  int32_t ticks() const { return tickCount.load(std::memory_order_relaxed); }
  void reset() { tickCount.store(0, std::memory_order_relaxed); }

  // The two words shared with the thread; relaxed atomics, as a lost or extra
  // tick only moves one progress update.
  std::atomic<int32_t> tickCount{0};
  std::atomic<int32_t> stopFlag{0};

private:
  static void *run(void *self);
  void loop();
  pthread_t thread{};
  bool started = false;
  std::chrono::milliseconds period{500};
  std::mutex mutex; // only to sleep on; the counter is not guarded by it
  std::condition_variable wake;
};

extern Ticker gTicker;
