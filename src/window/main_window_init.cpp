// The window's initialisation at load and its message boxes.
#include "platform/flex_grid.h"
#include "platform/message_box.h"
#include "window/form1.h"

#include <QTabWidget>
#include <QTimer>

namespace {
constexpr int SearchTickMilliseconds = 500;
constexpr int FirstGroupTab = 1;
constexpr int LastGroupTab = 4;
constexpr qint16 InvertingDrawMode = 6;
} // namespace

void Form1::InitMainWindow()
{
    CrLf = QStringLiteral("\r\n");
    FillDurationTables();
    GroupCount = 2;
    FillSeparatorLists();
    SSTab1->setCurrentIndex(0);
    LimitDrawMode = InvertingDrawMode;
    SetUpGraphs();
    DurationIndex = 1;
    for (int tab = FirstGroupTab; tab <= LastGroupTab; ++tab)
        SSTab1->setTabEnabled(tab, tab <= GroupCount && SSTab1->isTabEnabled(tab));
    ShowStorageFolder();
    WahlTab->setColHidden(1, true);
    Timer2->setInterval(SearchTickMilliseconds);
    Timer2->start();
}

int Form1::MsgBox(const QString& text, int style, const QString& title)
{
    if (answerer)
        return answerer(style, title, text);
    return ShowMessageBox(this, style, title, text);
}
