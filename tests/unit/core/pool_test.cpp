// The block pool: index pages, release in one walk, and the out-of-memory
// report of a running read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/errors.h"
#include "core/pool.h"
#include "core/ui_port.h"

namespace {
// Every block the pools obtain and release, counted and summed by address:
// equal counts and sums after free-all mean each block went back once.
struct Ledger {
  size_t allocations = 0, frees = 0;
  uintptr_t allocatedSum = 0, freedSum = 0;
  size_t failAtSize = 0; // requests of exactly this size fail
  bool balanced() const { return allocations == frees && allocatedSum == freedSum; }
};
Ledger gLedger;

void *countingAlloc(size_t n) {
  if (gLedger.failAtSize && n == gLedger.failAtSize)
    return nullptr;
  void *p = malloc(n);
  ++gLedger.allocations;
  gLedger.allocatedSum += reinterpret_cast<uintptr_t>(p);
  return p;
}

void countingFree(void *p) {
  ++gLedger.frees;
  gLedger.freedSum += reinterpret_cast<uintptr_t>(p);
  free(p);
}

struct PoolTest : ::testing::Test {
  void SetUp() override {
    gLedger = Ledger();
    setSystemAlloc(countingAlloc);
    setSystemFree(countingFree);
  }
  void TearDown() override {
    setSystemAlloc(nullptr);
    setSystemFree(nullptr);
  }
};
} // namespace

TEST_F(PoolTest, SpillsIntoSecondPageAndFreesEverything) {
  BlockPool pool;
  ASSERT_TRUE(poolInit(&pool));
  bool zeroed = true;
  for (int i = 0; i < kPoolPageEntries; ++i) {
    auto *p = static_cast<unsigned char *>(poolAlloc(&pool, 24));
    ASSERT_NE(p, nullptr);
    zeroed = zeroed && std::all_of(p, p + 24, [](unsigned char c) { return c == 0; });
    memset(p, 0xab, 24);
  }
  EXPECT_TRUE(zeroed);
  // Two index pages and every block; the first page's last entry holds the
  // second page, so that page already has two entries used.
  EXPECT_EQ(gLedger.allocations, size_t(kPoolPageEntries + 2));
  EXPECT_EQ(pool.remaining, kPoolPageEntries - 2);
  EXPECT_EQ(pool.firstPage[kPoolPageEntries - 1].block, pool.cursor - 2);

  poolFreeAll(&pool);
  EXPECT_EQ(pool.active, 0);
  EXPECT_EQ(pool.firstPage, nullptr);
  EXPECT_TRUE(gLedger.balanced());
}

TEST_F(PoolTest, FreeAllOnInactivePoolAndTwice) {
  BlockPool pool;
  poolFreeAll(&pool); // never initialised
  EXPECT_EQ(pool.active, 0);
  EXPECT_EQ(poolAlloc(&pool, 8), nullptr) << "inactive pools hand out nothing";

  ASSERT_TRUE(poolInit(&pool));
  for (int i = 0; i < 10; ++i)
    ASSERT_NE(poolAlloc(&pool, 1000), nullptr);
  poolFreeAll(&pool);
  poolFreeAll(&pool);
  EXPECT_TRUE(gLedger.balanced());
}

TEST_F(PoolTest, FailedAllocationIsReportedWithSizeAndPlace) {
  ASSERT_TRUE(initSessionMemory());
  HeadlessUi &port = headlessUi();
  port.quiet = true;
  int errorsBefore = port.errors();
  BlockPool pool;
  ASSERT_TRUE(poolInit(&pool));
  gLedger.failAtSize = 1000000;
  int code = 0;
  try {
    poolAllocOrFail(&pool, 1000000);
  } catch (const ReaderError &e) {
    code = e.code;
  }
  EXPECT_EQ(code, 60);
  EXPECT_EQ(gLastError, 60);
  EXPECT_STREQ(messageBuffer(), "ERROR: Not enough memory. \nExtra 1000000 bytes are needed. \n"
                                "Brekpoint in heap_alloc.\n");
  EXPECT_EQ(port.errors(), errorsBefore + 1);
  gLedger.failAtSize = 0;
  EXPECT_NE(poolAlloc(&pool, 16), nullptr) << "the pool stays usable";
  poolFreeAll(&pool);
  releaseSessionMemory();
}
