#pragma once

#include <QStatusBar>
#include <array>

class QLabel;
class QTimer;

// The window's status bar with its six text panels, numbered 1 to 6.
class StatusBar : public QStatusBar {
    Q_OBJECT

public:
    static constexpr int PanelCount = 6;

    explicit StatusBar(QWidget* parent = nullptr);

    // Panel numbers outside 1 to 6 are ignored. The panels are labels named "Panel1" to "Panel6".
    void setPanelText(int panel, const QString& text);

    // A notice for the user (a refused start, a line that could not be written), shown left of the
    // panels for half a minute or until the next notice; the program-folder and version panels
    // make way for it meanwhile.
    void showNotice(const QString& text);
    // Takes a notice that no longer holds off the bar at once.
    void clearNotice();
    QString notice() const;

private:
    void showNoticeArea(bool shown);

    std::array<QLabel*, PanelCount> panels {};
    QLabel* noticeLabel = nullptr;
    QTimer* noticeTimer = nullptr;
};
