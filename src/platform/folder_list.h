#pragma once

#include <QListWidget>

// The folder list: the folders from the drive root down to the current folder, then the current
// folder's subfolders. Activating an entry (double click, Enter) opens it.
class FolderList : public QListWidget {
    Q_OBJECT

public:
    explicit FolderList(QWidget* parent = nullptr);

    // The current folder, with "/" separators.
    QString path() const { return currentPath; }
    // Opens a folder; false (and nothing changes) when it does not exist or cannot be read.
    bool setPath(const QString& folder);
    // Lists the current folder again, e.g. after folders were made or removed.
    void refresh();

    enum class Making { Made, Exists, BadName, Failed };
    // Makes a folder of that name inside the current one and opens it. A name no file system
    // takes (one of \ / : * ? " < > |, a control character, only dots, more than 255 bytes) or a
    // name already there makes nothing, nor does a current folder that has vanished.
    Making MakeFolder(const QString& name);

signals:
    void pathChanged(const QString& folder);
    void LostFocus();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void openEntry(QListWidgetItem* item);
    void addEntry(const QString& folder, const QString& caption, int depth, bool current);

    QString currentPath;
};
