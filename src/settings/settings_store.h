#pragma once

#include "settings/settings_file.h"

#include <QString>
#include <optional>

// Where the settings file is kept and how it is read and replaced. Beside the program, unless the
// program is installed or its folder cannot be written: then in the user's configuration folder,
// whose copy, once there, counts first.
class SettingsStore {
public:
    // besideProgram: false for an installed program, whose folder belongs to the system.
    SettingsStore(QString programFolder, QString userConfigFolder, bool besideProgram);

    // Nothing for an installed program: its settings are the user's.
    QString ProgramSettingsPath() const;
    QString UserSettingsPath() const;
    QString SettingsPathToRead() const;

    // The settings read, lines the file lacks taken from `missing`. Nothing when the file cannot
    // be read; Unreadable() then tells whether one is there.
    std::optional<Settings> Read(const Settings& missing);
    bool Unreadable() const { return unreadable; }
    // A file that exists but could not be read is never replaced.
    void Save(const Settings& settings);
    // The saving files that a save cut short left beside the settings.
    void RemoveUnfinishedSaves() const;

private:
    bool ReplaceSettingsFile(const QString& path, const QStringList& lines) const;

    QString programFolder;
    QString userConfigFolder;
    bool besideProgram = true;
    bool unreadable = false;
};
