#include "platform/status_bar.h"

#include <QLabel>

namespace {
// Relative widths of the six panels: command, reply, program folder, cycle, port, version.
constexpr std::array<int, StatusBar::PanelCount> PanelStretch = {2, 3, 3, 2, 3, 2};
} // namespace

StatusBar::StatusBar(QWidget* parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    for (int index = 0; index < PanelCount; ++index) {
        panels[index] = new QLabel(this);
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

QString StatusBar::panelText(int panel) const
{
    if (panel < 1 || panel > PanelCount)
        return {};
    return panels[panel - 1]->text();
}
