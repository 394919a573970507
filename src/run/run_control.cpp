// Starting and ending tests.
#include "window/form1.h"

#include <QPushButton>

// Ends the test of a position: the instrument is told to stop and the position shows as idle.
void Form1::EndTest(int position)
{
    SendEndCommand();
    if (position < 1 || position > PositionCount)
        return;
    if (position < int(Start.size()) && Start[position]) {
        Start[position]->setText(QStringLiteral("Start"));
        Start[position]->setPalette(QPalette());
    }
    PositionRunning[position] = 0;
}
