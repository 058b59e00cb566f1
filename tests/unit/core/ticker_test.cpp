// The ticker thread: it counts, and stop returns promptly with the counter
// back at 0, even right after start or without a start.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/ticker.h"

using namespace std::chrono;

TEST(Ticker, CountsAndStopsWithoutHanging) {
  Ticker t;
  t.stop(); // never started: returns at once
  EXPECT_FALSE(t.running());

  t.start(milliseconds(5));
  auto deadline = steady_clock::now() + seconds(5);
  while (t.ticks() < 3 && steady_clock::now() < deadline)
    std::this_thread::sleep_for(milliseconds(1));
  EXPECT_GE(t.ticks(), 3);
  t.stop();
  EXPECT_FALSE(t.running());
  EXPECT_EQ(t.ticks(), 0);

  // With the real period, stop must not wait for the next tick.
  auto begin = steady_clock::now();
  t.start();
  t.stop();
  EXPECT_LT(steady_clock::now() - begin, milliseconds(400));
  t.start(milliseconds(5)); // restartable
  EXPECT_TRUE(t.running());
}
