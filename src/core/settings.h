// The four values kept between runs. The front end moves them to and from
// the toolkit's registry; the core only holds them (session.h globals) and
// checks what comes back from a possibly hand-edited file.
#pragma once
#include <cstdint>

constexpr const char *kSettingsSection = "SETTINGS";
constexpr const char *kKeyWorkingDirectory = "Working_directory";
constexpr const char *kKeyFlanksLength = "Flanks_length";
constexpr const char *kKeySaveFilter = "Save_filter";
constexpr const char *kKeyDirFilter = "Dir_filter";

constexpr int kDefaultFlanksLength = 0;
constexpr int kDefaultSaveFilter = 1; // local
constexpr int kDefaultDirFilter = 0;

struct Settings {
  const char *workingDirectory = ""; // not owned; copied by applySettings
  int flanksLength = kDefaultFlanksLength;
  int saveFilter = kDefaultSaveFilter;
  int dirFilter = kDefaultDirFilter;
};

// Start-up: fills the path buffer, the flanks copy and the two filters.
// Values outside their range fall back to sane ones instead of reaching the
// 16-bit flanks field or a pattern index.
void applySettings(const Settings &s);

// Close of the root window: the values to write back. The flanks length comes
// from the current window, not from the start-up copy.
Settings settingsToSave();
