// Failures of the C library's file calls on demand, for the paths that a
// full disk, a lost file system or a refused permission take. Linked into a
// test program whenever it uses these functions; until one is armed every
// call goes through.
#pragma once

enum class FileCall { Write, Fsync, Close, Rename, Chmod };

// The next call of that kind fails (a write: fwrite or vfprintf).
void failNextCall(FileCall call);
void clearFileFaults();
