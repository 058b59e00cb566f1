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
// shown its message. An Open that fails before the session is replaced
// (header, sequence files, a body that does not fit them) leaves the
// present session as it was; after that only memory can fail.
int OpenAlignment();
// Whether the last OpenAlignment got past its checks and replaced the
// session (with or without later failures).
bool OpenReplacedSession();

// A sequence name from a saved header, resolved against the folder of the
// alignment file: absolute names ("/..." or a drive letter) stay, others are
// taken relative to that folder, leading "../" steps climbing out of it.
std::string ResolveSequencePath(const char *name, const char *alignmentPath);

// The rest of a new session once Open has put the two sequences it read in
// place (finishing, the engine, the windows): New's own. Set at start-up by
// the layer that owns New.
using OpenStartSessionFn = void (*)();
void setOpenStartSession(OpenStartSessionFn fn);
