// Dispatch of one received line by its reply code.
#include "instrument/replies.h"
#include "platform/status_bar.h"
#include "window/form1.h"

// Each received line is echoed in panel 2, then handed to run control or sample acquisition by
// its code. A start or end reply for a position outside 1 to 32 is only reported.
void Form1::ProcessLine()
{
    StBar1->setPanelText(2, ReplyEcho(LastLine));
    switch (KindOfReply(LastLine)) {
    case ReplyKind::InstrumentAnswer:
        InstrumentAnswered = true;
        break;
    case ReplyKind::Start:
        if (const std::optional<int> position = ReplyPosition(LastLine))
            StartReportedTest(*position);
        else
            ReportUnknownPosition();
        break;
    case ReplyKind::End:
        if (const std::optional<int> position = ReplyPosition(LastLine))
            EndTest(*position, EndReason::Instrument);
        else
            ReportUnknownPosition();
        break;
    case ReplyKind::ElapsedTime:
        HandleElapsedTime();
        break;
    case ReplyKind::Sample:
        HandleSample(1);
        break;
    case ReplyKind::Other:
        break;
    }
}

void Form1::ReportUnknownPosition()
{
    StBar1->showNotice(QStringLiteral("Meldung für einen unbekannten Kanal nicht ausgeführt: ")
        + ReplyEcho(LastLine));
}
