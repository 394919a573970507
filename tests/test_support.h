#pragma once

#include <QLocale>
#include <csignal>
#include <sys/resource.h>

// Pins the default locale for the lifetime of the object, so that number formatting is tested
// under a known locale whatever the machine's own is.
struct ScopedLocale {
    explicit ScopedLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~ScopedLocale() { QLocale::setDefault(previous); }
    Q_DISABLE_COPY_MOVE(ScopedLocale)

    const QLocale previous;
};

#include "instrument/instrument_link.h"
#include "memory_serial_line.h"
#include "recording_printer.h"
#include "window/form1.h"
#include "window_driving.h"

// The Qt pieces nearly every suite uses.
#include "platform/flex_grid.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

// Where a fixture's window lives; an empty program or start folder is the fixture's own `folder`.
struct WindowPlaces {
    QString programFolder {};
    QString startFolder {};
};

// A main window on a temporary folder with an in-memory serial line, a fixed clock and scripted
// message boxes.
struct WindowFixture {
    struct Question {
        int style;
        QString title;
        QString text;
    };

    // presentPorts: the COM numbers that exist on the in-memory line.
    explicit WindowFixture(const QSet<int>& presentPorts = {1}, const QStringList& arguments = {},
        const WindowPlaces& places = {});

    QTemporaryDir folder;
    MemorySerialLine* line = nullptr;
    // The window's clock; tests move it on.
    QDateTime now {QDate(2026, 12, 6), QTime(10, 30)};
    // Answers given to message boxes, in order; an empty list answers Cancel.
    QList<int> answers;
    // Called while a message box is open, before it is answered.
    std::function<void()> whileAsking;
    QList<Question> questions;
    // What the printer-selection step answers, the printer it prints on and the documents printed.
    PrintOutcome printOutcome = PrintOutcome::Printed;
    RecordingPrinter printer;
    QStringList printedDocuments;
    std::unique_ptr<Form1> window;

    // Delivers received bytes as one receive event.
    void receive(const QByteArray& bytes) { line->deliver(bytes); }
    // The text of a status-bar panel, 1 to 6.
    QString panel(int number) const
    {
        return Find<QLabel>(*window, QStringLiteral("Panel%1").arg(number)).text();
    }
};

constexpr qint64 NoLimit = -1;

// While alive, no file of this process may grow beyond `bytes` (NoLimit: as before): a write
// beyond fails as on a full disk instead of raising SIGXFSZ. A limit that cannot be set ends the
// suite: the full disk would not be tested.
struct FileSizeLimit {
    explicit FileSizeLimit(qint64 bytes)
        : handler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited {bytes < 0 ? previous.rlim_cur : rlim_t(bytes), previous.rlim_max};
        if (setrlimit(RLIMIT_FSIZE, &limited) != 0)
            qFatal("the file size limit cannot be set");
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, handler);
    }
    Q_DISABLE_COPY_MOVE(FileSizeLimit)

    rlimit previous {};
    void (*handler)(int);
};

// The program copied into the folder (once), so that its settings file, which lies beside it,
// belongs to the test alone and nothing is written beside the program that ./run.sh starts.
QString ProgramCopyIn(const QString& folder, const QString& executable);

// The bytes of a file; "<missing>" when it cannot be read.
QByteArray BytesOf(const QString& path);
// Makes the file hold exactly the bytes.
void PutBytes(const QString& path, const QByteArray& bytes);

// The page count a PDF file declares in its page tree; -1 when the file is no PDF.
int PdfPageCount(const QString& path);
