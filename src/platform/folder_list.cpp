#include "platform/folder_list.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {
constexpr int PathRole = Qt::UserRole;
constexpr int IndentPerLevel = 2;

// The folder and its ancestors, from the root down.
QStringList AncestorChain(const QString& folder)
{
    QStringList chain;
    QDir dir(folder);
    chain.prepend(dir.absolutePath());
    while (dir.cdUp())
        chain.prepend(dir.absolutePath());
    return chain;
}

// Names that one of the file systems a laboratory uses would refuse or read as a path.
bool IsFolderName(const QString& name)
{
    constexpr qsizetype MaxNameBytes = 255;
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    if (name.isEmpty() || name.count(u'.') == name.size() || name.toUtf8().size() > MaxNameBytes)
        return false;
    return std::none_of(name.cbegin(), name.cend(),
        [](QChar c) { return c.unicode() < 0x20 || forbidden.contains(c); });
}

QString CaptionOf(const QString& folder)
{
    const QString name = QFileInfo(folder).fileName();
    return name.isEmpty() ? QDir::toNativeSeparators(folder) : name;
}
} // namespace

FolderList::FolderList(QWidget* parent)
    : QListWidget(parent)
{
    connect(this, &QListWidget::itemActivated, this, &FolderList::openEntry);
}

bool FolderList::setPath(const QString& folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir() || !info.isReadable())
        return false;
    const QString absolute = QDir::cleanPath(info.absoluteFilePath());
    if (absolute == currentPath)
        return true;
    currentPath = absolute;
    refresh();
    emit pathChanged(currentPath);
    return true;
}

void FolderList::refresh()
{
    clear();
    if (currentPath.isEmpty())
        return;
    const QStringList chain = AncestorChain(currentPath);
    for (int depth = 0; depth < chain.size(); ++depth)
        addEntry(chain[depth], CaptionOf(chain[depth]), depth, depth == chain.size() - 1);
    const QDir current(currentPath);
    const QStringList subfolders
        = current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : subfolders)
        addEntry(current.filePath(name), name, int(chain.size()), false);
}

FolderList::Making FolderList::MakeFolder(const QString& name)
{
    if (!IsFolderName(name))
        return Making::BadName;
    const QDir current(currentPath);
    if (current.exists(name))
        return Making::Exists;
    if (!current.mkdir(name) || !setPath(current.filePath(name)))
        return Making::Failed;
    return Making::Made;
}

void FolderList::addEntry(const QString& folder, const QString& caption, int depth, bool current)
{
    auto* item = new QListWidgetItem(QString(depth * IndentPerLevel, u' ') + caption, this);
    item->setData(PathRole, folder);
    if (current)
        setCurrentItem(item);
}

void FolderList::openEntry(QListWidgetItem* item)
{
    if (!setPath(item->data(PathRole).toString()))
        refresh();
}

void FolderList::focusOutEvent(QFocusEvent* event)
{
    QListWidget::focusOutEvent(event);
    emit LostFocus();
}
