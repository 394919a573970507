#pragma once

#include <QStatusBar>
#include <array>

class QLabel;

// The window's status bar with its six text panels, numbered 1 to 6.
class StatusBar : public QStatusBar {
    Q_OBJECT

public:
    static constexpr int PanelCount = 6;

    explicit StatusBar(QWidget* parent = nullptr);

    // Panel numbers outside 1 to 6 are ignored / read as empty.
    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;

private:
    std::array<QLabel*, PanelCount> panels {};
};
