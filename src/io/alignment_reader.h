// Reading a saved alignment back: the header restores the two sequence
// files, the window's block, flags and parameters; the body (local, global
// or summary) rebuilds the hits.
#pragma once
#include <cstdint>
#include <string>

// Command identifier of Open, as journaled.
constexpr int32_t kIdOpen = 67;

// Opens the alignment named by the path buffer (gPathBuffer) as a new
// session. Returns the number of failures (0 = opened). Every failure has
// shown its message. A file that is not a well-formed alignment, or whose
// sequence files cannot be opened, leaves the present session as it was.
int OpenAlignment();
// Whether the last OpenAlignment got past its checks and replaced the
// session (with or without later failures).
bool OpenReplacedSession();

// A sequence name from a saved header, resolved against the folder of the
// alignment file: absolute names ("/..." or a drive letter) stay, others are
// taken relative to that folder, leading "../" steps climbing out of it.
std::string ResolveSequencePath(const char *name, const char *alignmentPath);

// Open's new session from the sequence files its header names: a session
// without them would leave nothing to read the hits into. Set at start-up
// by the layer that owns New; failure count as New's.
using OpenNewSessionFn = int (*)();
void setOpenNewSession(OpenNewSessionFn fn);
