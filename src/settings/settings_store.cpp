#include "settings/settings_store.h"

#include "platform/file_lock.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFileInfo>

SettingsStore::SettingsStore(QString program, QString userConfig, bool beside)
    : programFolder(std::move(program))
    , userConfigFolder(std::move(userConfig))
    , besideProgram(beside)
{
}

QString SettingsStore::ProgramSettingsPath() const
{
    return besideProgram ? programFolder + QDir::separator() + SettingsFileName : QString();
}

QString SettingsStore::UserSettingsPath() const
{
    return userConfigFolder.isEmpty() ? QString()
                                      : userConfigFolder + QDir::separator() + SettingsFileName;
}

// The user's copy counts first: it exists only where the program folder could not be written.
QString SettingsStore::SettingsPathToRead() const
{
    const QString userPath = UserSettingsPath();
    return !userPath.isEmpty() && FileExist(userPath) ? userPath : ProgramSettingsPath();
}

// Only the lines the settings have are read: a damaged, huge file never fills the memory.
std::optional<Settings> SettingsStore::Read(const Settings& missing)
{
    const QString path = SettingsPathToRead();
    const std::optional<QStringList> lines = ReadTextLines(path, SettingsLineCount);
    if (!lines) {
        unreadable = QFileInfo::exists(path);
        return std::nullopt;
    }
    return ReadSettingsLines(*lines, missing);
}

// Written beside their place and renamed over it. Where the program folder cannot be written (an
// installed program), the user's configuration folder keeps them.
void SettingsStore::Save(const Settings& settings)
{
    if (unreadable)
        return;
    const QStringList lines = SettingsLines(settings);
    const QString userPath = UserSettingsPath();
    if (!userPath.isEmpty() && FileExist(userPath)) {
        ReplaceSettingsFile(userPath, lines);
        return;
    }
    if (ReplaceSettingsFile(ProgramSettingsPath(), lines) || userPath.isEmpty())
        return;
    QDir().mkpath(QFileInfo(userPath).path());
    ReplaceSettingsFile(userPath, lines);
}

// Two programs from one folder may close at once: one saves after the other, never both into one
// saving file's place.
bool SettingsStore::ReplaceSettingsFile(const QString& path, const QStringList& lines) const
{
    const FileLock settingsLock(path, SharedFileWaitMilliseconds);
    return !path.isEmpty() && !settingsLock.HeldByOther() && ReplaceTextFile(path, lines);
}

void SettingsStore::RemoveUnfinishedSaves() const
{
    for (const QString& settingsPath : {ProgramSettingsPath(), UserSettingsPath()}) {
        if (!settingsPath.isEmpty())
            RemoveUnfinishedSave(settingsPath, settingsPath);
    }
}
