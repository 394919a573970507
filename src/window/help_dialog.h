#pragma once

#include <QDialog>

// The short user guide shipped inside the program, with the program's and the package's
// version. F1 and the "?" beside the tabs open it; it may stay open beside the window.
class HelpDialog : public QDialog {
    Q_OBJECT

public:
    // programVersion: as the status bar shows it, empty when unknown.
    HelpDialog(const QString& programVersion, QWidget* parent = nullptr);
};
