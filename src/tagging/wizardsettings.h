#pragma once

#include "core/settingkey.h"
#include "fieldorder.h"

class SettingsStore;

// The parsing choices shared by the Add Wizard and the preferences dialog.
namespace WizardSettingKeys {

// The parsing engine: 0 tag, 1 file name, 2 folder tree.
inline constexpr SettingKey kEngine{kOpenWizardSection, "Engine", "0"};
// The rule for adds outside the wizard: 0 use the engine, 1 always ask,
// 2 don't parse. Shown and stored; no add reads it.
inline constexpr SettingKey kDefault{kOpenWizardSection, "Default", "0"};
// The file-name and folder-tree field order lists.
inline constexpr SettingKey kFNFields{kOpenWizardSection, "FNFields", kDefaultFieldOrder};
inline constexpr SettingKey kDTFields{kOpenWizardSection, "DTFields", kDefaultFieldOrder};

} // namespace WizardSettingKeys

enum ParsingEngine
{
    kTagEngine = 0,
    kFileNameEngine = 1,
    kFolderTreeEngine = 2,
};

// The stored parsing choices, read afresh whenever a dialog opens and written
// only when the user confirms.
struct WizardSettings
{
    int engine = kTagEngine;
    int defaultRule = 0;
    FieldOrder fileNameFields = readFieldOrder(QString::fromLatin1(kDefaultFieldOrder));
    FieldOrder folderTreeFields = readFieldOrder(QString::fromLatin1(kDefaultFieldOrder));

    static WizardSettings read(const SettingsStore &settings);
    void save(SettingsStore &settings) const;

    bool operator==(const WizardSettings &) const = default;
};
