#include "platform/status_bar.h"

#include <QLabel>
#include <QTimer>

namespace {
// Relative widths of the six panels: command, reply, program folder, cycle, port, version. The
// cycle and port panels hold "Zyklus:  60 Minuten" and "COMn: Verbindung unterbrochen".
constexpr std::array<int, StatusBar::PanelCount> PanelStretch = {2, 3, 3, 3, 4, 2};
constexpr int NoticeStretch = 12;
// Panels left out while a notice is shown, to give it room: program folder and version.
constexpr std::array<int, 2> PanelsMadeWayForNotice = {3, 6};
constexpr int NoticeMilliseconds = 30000;
} // namespace

StatusBar::StatusBar(QWidget* parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    noticeLabel = new QLabel(this);
    noticeLabel->setTextFormat(Qt::PlainText);
    noticeLabel->setStyleSheet(QStringLiteral("QLabel { color: #a00000; font-weight: bold; }"));
    noticeLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addWidget(noticeLabel, NoticeStretch);
    noticeLabel->hide();
    noticeTimer = new QTimer(this);
    noticeTimer->setSingleShot(true);
    noticeTimer->setInterval(NoticeMilliseconds);
    connect(noticeTimer, &QTimer::timeout, noticeLabel, [this] { showNoticeArea(false); });
    for (int index = 0; index < PanelCount; ++index) {
        panels[index] = new QLabel(this);
        panels[index]->setObjectName(QStringLiteral("Panel%1").arg(index + 1));
        panels[index]->setFrameShape(QFrame::StyledPanel);
        panels[index]->setFrameShadow(QFrame::Sunken);
        panels[index]->setTextFormat(Qt::PlainText);
        panels[index]->setMinimumWidth(40);
        panels[index]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        addPermanentWidget(panels[index], PanelStretch[index]);
    }
}

void StatusBar::setPanelText(int panel, const QString& text)
{
    if (panel < 1 || panel > PanelCount)
        return;
    panels[panel - 1]->setText(text);
    panels[panel - 1]->setToolTip(text);
}

void StatusBar::showNotice(const QString& text)
{
    noticeLabel->setText(text);
    noticeLabel->setToolTip(text);
    showNoticeArea(true);
    noticeTimer->start();
}

void StatusBar::clearNotice()
{
    noticeTimer->stop();
    showNoticeArea(false);
}

void StatusBar::showNoticeArea(bool shown)
{
    if (!shown)
        noticeLabel->clear();
    noticeLabel->setVisible(shown);
    for (int panel : PanelsMadeWayForNotice)
        panels[panel - 1]->setVisible(!shown);
}

QString StatusBar::notice() const
{
    return noticeLabel->text();
}
