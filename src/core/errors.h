// The error table and the reporting paths of a running read. A reader unit
// leaves through ReaderError, caught at the unit's start.
#pragma once
#include <cstddef>

constexpr int kErrInternal = 52;
constexpr int kErrCannotOpen = 53;
constexpr int kErrBadLocus = 54;
constexpr int kErrBadVersion = 55;
constexpr int kErrBadGenbankLine = 56;
constexpr int kErrBadCoordinates = 57;
constexpr int kErrEndOfFile = 58;
constexpr int kErrSeek = 59;
constexpr int kErrNoMemory = 60;
constexpr int kErrNonPc = 61;
constexpr int kErrBadFormat = 62;
constexpr int kErrBadCommand = 63;
constexpr int kErrBadFilename = 64;
constexpr int kErrNoSequenceName = 65;
constexpr int kErrNoResidues = 66;
constexpr int kErrDamagedGzip = 67;
constexpr int kErrNoSuchRecord = 68;
constexpr int kErrLast = kErrNoSuchRecord;

struct ReaderError {
  int code;
};

const char *errorText(int code); // "Internal error" .. ; nullptr below 52
extern int gLastError;

// Message buffer: the last message (cut to 1 024 bytes).
char *messageBuffer();

[[noreturn]] void reportOutOfMemory(size_t size, const char *place);
[[noreturn]] void reportPoolCreationFailure();
[[noreturn]] void reportFatal(int code, const char *fileName, const char *place);
// The same with a detail after the error's text ("No such record in the
// file: chr9; ...").
[[noreturn]] void reportFatalDetail(int code, const char *detail, const char *fileName,
                                    const char *place);
// The same message and box, where no read is running to leave.
void showFatal(int code, const char *fileName, const char *place);
// A path too long to be used whole would name another file once cut: true,
// after "Cannot open file" naming it, when `name` is such a path.
bool refuseLongPath(const char *name, const char *place);
// Leaves the read with `code` and no message box (internal inconsistency).
[[noreturn]] void abandonRead(int code);
// Copies the message buffer up to its first line end to the information line.
void copyStatusToInfoLine();

// An action goes on after an allocation fails (a search unit keeps what it
// made), but must not end as a success: the failure is noted here, and the
// frame of the action undoes it and reports "Not enough memory".
void noteOutOfMemory(size_t size = 0); // size of the request, 0 when unknown
bool outOfMemoryNoted();
void clearOutOfMemory();
// The "Error" box and the information line for the noted failure; clears it.
void reportActionOutOfMemory();
