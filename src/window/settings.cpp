// The settings file: read once at start-up, written when the window unloads.
#include "platform/drives.h"
#include "platform/file_lock.h"
#include "platform/folder_list.h"
#include "platform/status_bar.h"
#include "platform/text_file.h"
#include "run/choice_lists.h"
#include "settings/settings_store.h"
#include "window/form1.h"
#include "window/parameter_panel.h"
#include "window/settings_panel.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>

namespace {

const QString SettingsTitle = QStringLiteral("Einstellungen");
constexpr int ScaleCount = 3;

// What a first start writes: the folder shown now, no cycle, the first duration, ";" and ".",
// temperature off, the first scale, no protocol file.
Settings FirstStartSettings(const SettingsPanel& panel)
{
    Settings settings;
    settings.drive = panel.DriveText();
    settings.folder = QDir::toNativeSeparators(panel.FolderPath());
    return settings;
}

// The choices shown now, with the drive, folder and protocol name of `kept`.
Settings ChosenSettings(
    const SettingsPanel& panel, const ParameterPanel& separators, const Settings& kept)
{
    Settings settings;
    settings.drive = kept.drive;
    settings.folder = kept.folder;
    settings.cycleIndex = panel.CycleEntry();
    settings.durationIndex = panel.DurationEntry();
    settings.separatorCode = separators.SeparatorCode();
    settings.temperature = panel.TemperatureOption() == 1 ? 1 : 0;
    settings.scaleIndex = panel.ScaleIndex();
    settings.protocolName = kept.protocolName;
    return settings;
}

} // namespace

// The settings are applied through the controls, so their handlers run and the cycle, duration and
// temperature commands go out. Without a file the first start's settings are written and read;
// a file that is there but cannot be read is left alone, reported, and never replaced.
void Form1::LoadSettings()
{
    StBar1->setPanelText(3, QDir::toNativeSeparators(programFolder));
    const QString path = settingsStore.SettingsPathToRead();
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        SaveSettings();
    const std::optional<Settings> settings = settingsStore.Read(FirstStartSettings(*settingsTab));
    if (settings) {
        ApplySettings(*settings);
        return;
    }
    if (settingsStore.Unreadable())
        messages.MsgBoxLater(QStringLiteral("Die Einstellungen in ")
                + QDir::toNativeSeparators(settingsStore.SettingsPathToRead())
                + QStringLiteral(" können nicht gelesen werden.") + CrLf
                + QStringLiteral("Es gelten die Grundeinstellungen; die Datei bleibt "
                                 "unverändert."),
            MsgStyle::Exclamation, SettingsTitle);
}

void Form1::ApplySettings(const Settings& settings)
{
    // Known before the folder lists its protocol files, so that the stored one is the first
    // loaded (and asked about), not the first of the list.
    settingsTab->RememberProtocolName(settings.protocolName);
    // The stored drive and folder, both or neither: a folder that is not there leaves the
    // folder list where it is.
    if (!settingsTab->ApplyStorageFolder(
            settings.drive, QDir::fromNativeSeparators(settings.folder))) {
        UnreachableStorageFolder = settings;
        messages.MsgBoxLater(QStringLiteral("Der Ablageordner ") + settings.folder
                + QStringLiteral(" ist nicht erreichbar.") + CrLf
                + QStringLiteral("Bis er wieder erreichbar ist oder ein anderer gewählt wird, "
                                 "werden die Dateien in ")
                + QDir::toNativeSeparators(settingsTab->FolderPath())
                + QStringLiteral(" abgelegt."),
            MsgStyle::Exclamation, SettingsTitle);
    }
    if (settingsTab->ChooseCycle(settings.cycleIndex))
        MessZyklusTab_Click();
    if (settingsTab->ChooseDuration(settings.durationIndex))
        Messzeit_Click();
    parameters->ApplySeparatorCode(settings.separatorCode);
    // One temperature option is always chosen, so the command sent and the samples read agree.
    const int temperature = settings.temperature == 1 ? 1 : 0;
    settingsTab->ChooseTemperature(temperature);
    TempOnOff_Click(temperature);
    if (settings.scaleIndex >= 1 && settings.scaleIndex <= ScaleCount)
        TempSkal_Click(settings.scaleIndex);
}

void Form1::SaveSettings()
{
    if (settingsStore.Unreadable())
        return;
    if (settingsTab->DurationEntry() < 0)
        settingsTab->ChooseDuration(0);
    settingsStore.Save(CurrentSettings());
}

// Saves that a program could not finish leave their saving files beside the settings and the
// protocol files of the storage folder; they are removed at the start.
void Form1::RemoveUnfinishedSaves()
{
    settingsStore.RemoveUnfinishedSaves();
    const QString folder = settingsTab->StorageFolder();
    for (const QString& file : ListFolderFiles(folder, QStringLiteral("*.CSV"))) {
        const QString protocolPath = folder + file;
        RemoveUnfinishedSave(protocolPath, protocolPath);
        RemoveUnfinishedSave(protocolPath.chopped(4) + QStringLiteral(".TMP"), protocolPath);
    }
}

Settings Form1::CurrentSettings() const
{
    if (UnreachableStorageFolder)
        return ChosenSettings(*settingsTab, *parameters, *UnreachableStorageFolder);
    Settings settings = ChosenSettings(*settingsTab, *parameters, FirstStartSettings(*settingsTab));
    settings.protocolName = settingsTab->ProtocolName();
    return settings;
}

void Form1::Form_Unload()
{
    SaveSettings();
}
