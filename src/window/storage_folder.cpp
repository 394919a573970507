// The storage folder: drive list, folder list and the label that shows the chosen folder.
#include "platform/drives.h"
#include "platform/folder_list.h"
#include "window/form1.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QSignalBlocker>

namespace {

// The folder as shown and used to build file names: native separators, one trailing separator.
QString StorageFolderText(const QString& folder)
{
    QString text = QDir::toNativeSeparators(folder);
    if (!text.endsWith(QDir::separator()))
        text += QDir::separator();
    return text;
}

} // namespace

// A drive that cannot be read leaves the folder list and the storage folder as they were; the
// drive list goes on showing the drive the user picked.
void Form1::Drive1_Change()
{
    if (!Dir1->setPath(Drive1->currentText()))
        return;
    ShowStorageFolder();
}

// A folder the user picks replaces a stored folder that could not be reached.
void Form1::Dir1_Change()
{
    UnreachableStorageFolder.reset();
    QStringList drives;
    for (int index = 0; index < Drive1->count(); ++index)
        drives << Drive1->itemText(index);
    const QString drive = DriveOfPath(Dir1->path(), drives);
    if (!drive.isEmpty()) {
        const QSignalBlocker quiet(Drive1);
        Drive1->setCurrentText(drive);
    }
    ShowStorageFolder();
}

void Form1::ShowStorageFolder()
{
    Label10->setText(StorageFolderText(Dir1->path()));
    ListProtocolFiles();
}
