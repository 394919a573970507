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

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>

namespace {
const QString SettingsTitle = QStringLiteral("Einstellungen");
constexpr int ScaleCount = 3;
} // namespace

// The settings are applied through the controls, so their handlers run and the cycle, duration and
// temperature commands go out. Without a file the first start's settings are written and read;
// a file that is there but cannot be read is left alone, reported, and never replaced.
void Form1::LoadSettings()
{
    StBar1->setPanelText(3, QDir::toNativeSeparators(ProgramFolder()));
    const QString path = settingsStore.SettingsPathToRead();
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        SaveSettings();
    const std::optional<Settings> settings = settingsStore.Read(FirstStartSettings());
    if (settings) {
        ApplySettings(*settings);
        return;
    }
    if (settingsStore.Unreadable())
        MsgBoxLater(QStringLiteral("Die Einstellungen in ")
                + QDir::toNativeSeparators(settingsStore.SettingsPathToRead())
                + QStringLiteral(" können nicht gelesen werden.") + CrLf
                + QStringLiteral("Es gelten die Grundeinstellungen; die Datei bleibt "
                                 "unverändert."),
            MsgStyle::Exclamation, SettingsTitle);
}

// What a first start writes: the folder shown now, no cycle, the first duration, ";" and ".",
// temperature off, the first scale, no protocol file.
Settings Form1::FirstStartSettings() const
{
    Settings settings;
    settings.drive = Drive1->currentText();
    settings.folder = QDir::toNativeSeparators(Dir1->path());
    return settings;
}

void Form1::ApplySettings(const Settings& settings)
{
    if (!ApplyStorageFolder(settings)) {
        UnreachableStorageFolder = settings;
        MsgBoxLater(QStringLiteral("Der Ablageordner ") + settings.folder
                + QStringLiteral(" ist nicht erreichbar.") + CrLf
                + QStringLiteral("Bis er wieder erreichbar ist oder ein anderer gewählt wird, "
                                 "werden die Dateien in ")
                + QDir::toNativeSeparators(Dir1->path()) + QStringLiteral(" abgelegt."),
            MsgStyle::Exclamation, SettingsTitle);
    }
    if (settings.cycleIndex >= 0 && settings.cycleIndex < MessZyklusTab->count()) {
        MessZyklusTab->setCurrentIndex(settings.cycleIndex);
        MessZyklusTab_Click();
    }
    if (settings.durationIndex >= 0 && settings.durationIndex < Messzeit->count()) {
        Messzeit->setCurrentIndex(settings.durationIndex);
        Messzeit_Click();
    }
    const int fieldIndex = FieldSeparatorIndexOf(settings.separatorCode);
    if (fieldIndex >= 0 && fieldIndex < parameters->DatenTrenn->count())
        parameters->DatenTrenn->setCurrentIndex(fieldIndex);
    const int decimalIndex = DecimalSeparatorIndexOf(settings.separatorCode);
    if (decimalIndex >= 0 && decimalIndex < parameters->DezimalTrenn->count())
        parameters->DezimalTrenn->setCurrentIndex(decimalIndex);
    // One temperature option is always chosen, so the command sent and the samples read agree.
    const int temperature = settings.temperature == 1 ? 1 : 0;
    TempOnOff[temperature]->setChecked(true);
    TempOnOff_Click(temperature);
    if (settings.scaleIndex >= 1 && settings.scaleIndex <= ScaleCount)
        TempSkal_Click(settings.scaleIndex);
    ProtocolFileName = settings.protocolName;
}

void Form1::SaveSettings()
{
    if (settingsStore.Unreadable())
        return;
    if (Messzeit->currentIndex() < 0)
        Messzeit->setCurrentIndex(0);
    settingsStore.Save(CurrentSettings());
}

// Saves that a program could not finish leave their saving files beside the settings and the
// protocol files of the storage folder; they are removed at the start.
void Form1::RemoveUnfinishedSaves()
{
    settingsStore.RemoveUnfinishedSaves();
    const QString folder = Label10->text();
    for (const QString& file : ListFolderFiles(folder, QStringLiteral("*.CSV"))) {
        const QString protocolPath = folder + file;
        RemoveUnfinishedSave(protocolPath, protocolPath);
        RemoveUnfinishedSave(protocolPath.chopped(4) + QStringLiteral(".TMP"), protocolPath);
    }
}

// The stored drive and folder, both or neither: a folder that is not there leaves the folder list
// where it is.
bool Form1::ApplyStorageFolder(const Settings& settings)
{
    const QString folder = QDir::fromNativeSeparators(settings.folder);
    if (!QFileInfo(folder).isDir())
        return false;
    if (Drive1->findText(settings.drive) >= 0)
        Drive1->setCurrentText(settings.drive);
    return Dir1->setPath(folder);
}

Settings Form1::CurrentSettings() const
{
    if (UnreachableStorageFolder)
        return CurrentSettingsWithFolder(*UnreachableStorageFolder);
    Settings folder;
    folder.drive = Drive1->currentText();
    folder.folder = QDir::toNativeSeparators(Dir1->path());
    return CurrentSettingsWithFolder(folder);
}

// The current choices with the drive and folder of `folder`.
Settings Form1::CurrentSettingsWithFolder(const Settings& folder) const
{
    Settings settings;
    settings.drive = folder.drive;
    settings.folder = folder.folder;
    settings.cycleIndex = MessZyklusTab->currentIndex();
    settings.durationIndex = Messzeit->currentIndex();
    settings.separatorCode = parameters->SeparatorCode();
    settings.temperature = TempOnOff[1]->isChecked() ? 1 : 0;
    settings.scaleIndex = 0;
    for (int index = 1; index <= ScaleCount; ++index) {
        if (TempSkal[index]->isChecked())
            settings.scaleIndex = index;
    }
    settings.protocolName = UnreachableStorageFolder ? UnreachableStorageFolder->protocolName
                                                     : TabProtDatei->currentText();
    return settings;
}

void Form1::Form_Unload()
{
    SaveSettings();
}
