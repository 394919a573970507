#include "window/help_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

QString Guide()
{
    QFile file(QStringLiteral(":/help/anleitung.html"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString VersionLine(const QString& programVersion)
{
    const QString package = QStringLiteral("Paketversion " TALIV_PACKAGE_VERSION);
    return QStringLiteral("<hr><p><small>")
        + (programVersion.isEmpty() ? package : programVersion + QStringLiteral(", ") + package)
        + QStringLiteral("</small></p>");
}

} // namespace

HelpDialog::HelpDialog(const QString& programVersion, QWidget* parent)
    : QDialog(parent)
{
    setObjectName("Hilfe");
    setWindowTitle(QStringLiteral("Hilfe – KALDURA - QTM"));
    auto* text = new QTextBrowser;
    text->setObjectName("Anleitung");
    text->setHtml(Guide() + VersionLine(programVersion));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Schließen"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
    resize(640, 720);
}
