#pragma once

#include <QString>

#include <memory>

class SettingsStore;

// The folder of the play lists and their working copies: $VORN_HOME when set,
// else the per-user data folder. Created when missing.
QString programFolder();

// $VORN_HOME/VORN.ini when VORN_HOME is set, else the platform's default store.
std::unique_ptr<SettingsStore> openSettingsStore();
