#include "gui/settings_registry.h"

#include "core/settings.h"

void readSettings(FXApp *app) {
  FXRegistry &reg = app->reg();
  Settings s;
  s.workingDirectory = reg.readStringEntry(kSettingsSection, kKeyWorkingDirectory, "");
  s.flanksLength = reg.readIntEntry(kSettingsSection, kKeyFlanksLength, kDefaultFlanksLength);
  s.saveFilter = reg.readIntEntry(kSettingsSection, kKeySaveFilter, kDefaultSaveFilter);
  s.dirFilter = reg.readIntEntry(kSettingsSection, kKeyDirFilter, kDefaultDirFilter);
  applySettings(s);
}

void writeSettings(FXApp *app) {
  FXRegistry &reg = app->reg();
  Settings s = settingsToSave();
  reg.writeStringEntry(kSettingsSection, kKeyWorkingDirectory, s.workingDirectory);
  reg.writeIntEntry(kSettingsSection, kKeyFlanksLength, s.flanksLength);
  reg.writeIntEntry(kSettingsSection, kKeySaveFilter, s.saveFilter);
  reg.writeIntEntry(kSettingsSection, kKeyDirFilter, s.dirFilter);
  reg.write();
}
