#include "window/form1.h"

#include "platform/comm_control.h"
#include "platform/environment.h"

#include <QTimer>

Form1::Form1(FormEnvironment environment, QWidget* parent)
    : QMainWindow(parent)
    , programFolder(environment.programFolder)
    , arguments(environment.arguments)
    , clock(environment.clock ? environment.clock : Clock(SystemNow))
    , answerer(environment.answerer)
{
    comTest = new CommControl(std::move(environment.serialBackend), this);
    Timer2 = new QTimer(this);
    BuildLayout(environment.startFolder);
    ConnectControls();
    Form_Load();
}

Form1::~Form1() = default;
