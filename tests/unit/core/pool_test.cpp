// The block pool: index pages, release in one walk, and the out-of-memory
// report of a running read.
#include <gtest/gtest.h>

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
  EXPECT_EQ(pool.remaining, kPoolPageEntries - 1);
  void *first = nullptr, *last = nullptr;
  bool zeroed = true;
  for (int i = 0; i < kPoolPageEntries; ++i) {
    auto *p = static_cast<unsigned char *>(poolAlloc(&pool, 24));
    ASSERT_NE(p, nullptr);
    for (int k = 0; k < 24; ++k)
      zeroed = zeroed && p[k] == 0;
    memset(p, 0xab, 24);
    if (!first)
      first = p;
    last = p;
  }
  EXPECT_TRUE(zeroed);
  EXPECT_NE(first, last);
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

TEST_F(PoolTest, FreeAllOnInactivePoolAndReinitialisation) {
  BlockPool pool;
  poolFreeAll(&pool); // never initialised
  EXPECT_EQ(pool.active, 0);
  EXPECT_EQ(poolAlloc(&pool, 8), nullptr); // inactive pools hand out nothing

  ASSERT_TRUE(poolInit(&pool));
  for (int i = 0; i < 10; ++i)
    ASSERT_NE(poolAlloc(&pool, 1000), nullptr);
  poolFreeAll(&pool);
  poolFreeAll(&pool); // second call does nothing
  EXPECT_TRUE(gLedger.balanced());

  // Initialising an active pool first releases what it holds.
  ASSERT_TRUE(poolInit(&pool));
  for (int i = 0; i < 10; ++i)
    ASSERT_NE(poolAlloc(&pool, 1000), nullptr);
  ASSERT_TRUE(poolInit(&pool));
  EXPECT_EQ(pool.remaining, kPoolPageEntries - 1);
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
  EXPECT_EQ(code, kErrNoMemory);
  EXPECT_EQ(gLastError, kErrNoMemory);
  EXPECT_STREQ(messageBuffer(), "ERROR: Not enough memory. \nExtra 1000000 bytes are needed. \n"
                                "Brekpoint in heap_alloc.\n");
  EXPECT_STREQ(port.infoLine(), "ERROR: Not enough memory. ");
  EXPECT_EQ(port.errors(), errorsBefore + 1);
  // The pool stays usable after the failure.
  gLedger.failAtSize = 0;
  EXPECT_NE(poolAlloc(&pool, 16), nullptr);
  poolFreeAll(&pool);
  releaseSessionMemory();
}

TEST_F(PoolTest, FailedIndexPageLeavesPoolConsistent) {
  BlockPool pool;
  ASSERT_TRUE(poolInit(&pool));
  for (int i = 0; i < kPoolPageEntries - 2; ++i)
    ASSERT_NE(poolAlloc(&pool, 8), nullptr);
  // The next request needs a new index page; refuse it once.
  gLedger.failAtSize = sizeof(PoolEntry) * kPoolPageEntries;
  EXPECT_EQ(poolAlloc(&pool, 8), nullptr);
  gLedger.failAtSize = 0;
  EXPECT_NE(poolAlloc(&pool, 8), nullptr);
  EXPECT_NE(poolAlloc(&pool, 8), nullptr);
  poolFreeAll(&pool);
  EXPECT_TRUE(gLedger.balanced());
}
