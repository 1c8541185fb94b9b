#include "wizardsettings.h"

#include "core/settingsstore.h"

WizardSettings WizardSettings::read(const SettingsStore &settings)
{
    using namespace WizardSettingKeys;
    WizardSettings s;
    s.engine = optionFromSetting(settings.value(kEngine));
    s.defaultRule = optionFromSetting(settings.value(kDefault));
    s.fileNameFields = readFieldOrder(settings.value(kFNFields));
    s.folderTreeFields = readFieldOrder(settings.value(kDTFields));
    return s;
}

void WizardSettings::save(SettingsStore &settings) const
{
    using namespace WizardSettingKeys;
    settings.save(kEngine, QString::number(engine));
    settings.save(kDefault, QString::number(defaultRule));
    settings.save(kFNFields, writeFieldOrder(fileNameFields));
    settings.save(kDTFields, writeFieldOrder(folderTreeFields));
}
