// Dispatch of one received line by its reply code.
#include "instrument/replies.h"
#include "platform/status_bar.h"
#include "window/form1.h"

// Each received line is echoed in panel 2. The instrument's answer to the probe marks it found;
// start, end, time and data replies are echoed only until run control and sample acquisition
// take them.
void Form1::ProcessLine()
{
    StBar1->setPanelText(2, ReplyEcho(LastLine));
    if (KindOfReply(LastLine) == ReplyKind::InstrumentAnswer)
        InstrumentAnswered = true;
}
