// Allocation tracker that releases everything it handed out in one walk.
// Every entry of the index pages points back to the entry used before it,
// so the entries of all pages form one backward chain.
#pragma once
#include <cstddef>
#include <cstdint>

struct PoolEntry {
  void *block;
  PoolEntry *previous;
};

constexpr int kPoolPageEntries = 2048;

struct BlockPool {
  PoolEntry *firstPage = nullptr;
  PoolEntry *cursor = nullptr; // next free entry of the current page
  int32_t active = 0;
  int32_t remaining = 0; // free entries left in the current page
};

bool poolInit(BlockPool *pool);
void *poolAlloc(BlockPool *pool, size_t size); // zero-filled, or nullptr
void poolFreeAll(BlockPool *pool);
// Allocate or report out of memory through the running read (does not return).
void *poolAllocOrFail(BlockPool *pool, size_t size);
// Records a block obtained from malloc/realloc so that free-all releases it
// with the others; false when the index entry cannot be had.
bool poolAdopt(BlockPool *pool, void *block);

// The system allocator behind every pool; tests replace it to make
// allocation fail.
using SystemAllocFn = void *(*)(size_t);
void setSystemAlloc(SystemAllocFn fn); // nullptr restores malloc
// The matching release used by free-all; tests count it.
using SystemFreeFn = void (*)(void *);
void setSystemFree(SystemFreeFn fn); // nullptr restores free

extern BlockPool gGeneralPool;
extern BlockPool gSeqPool[2];

// Chunk lists collect residues and coordinates before they are joined.
constexpr int kChunkBytes = 2048;
struct Chunk {
  uint8_t *data;
  Chunk *next;
  uint8_t bytes[kChunkBytes];
};

// Sizes of the file-name and message buffers: a whole path (the system's
// limit, PATH_MAX), and a message that can name one.
constexpr int kNameBytes = 4096;
constexpr int kMessageBytes = 8192;

struct Sequence;
struct ReaderBuffers {
  char line[2048];
  char path[2048];
  char name[kNameBytes];
  char word[256];
  char message[kMessageBytes];
  Chunk residueChunk;
  Chunk coordinateChunk;
};

extern ReaderBuffers *gBuffers;

// Bump areas of the sequence being read: texts and residues, coordinates,
// annotations. Reset at the start of each sequence read.
struct BumpArea {
  uint8_t *next = nullptr;
  size_t left = 0;
};
struct SequenceBumps {
  BumpArea bytes;       // areas of at least 2 048 bytes
  BumpArea coordinates; // areas of at least 512 values
  BumpArea annotations; // areas of 256 records
};
void resetBumps(SequenceBumps *b);
char *bumpBytes(BlockPool *pool, SequenceBumps *b, size_t n);
int32_t *bumpCoordinates(BlockPool *pool, SequenceBumps *b, size_t count);
struct Annotation;
Annotation *bumpAnnotation(BlockPool *pool, SequenceBumps *b);

// Start-up: free and re-initialise the general pool, carve the reader buffers
// and set up the two Sequence records. Returns false when memory is short.
bool initSessionMemory();
void releaseSessionMemory(); // sequence 1, sequence 2, then the general pool
