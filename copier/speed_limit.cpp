// The speed limit: the slider's handler (window thread) and Throttle, the
// runner's wait for its byte budget, which the monitor refills every tick.
#include <windows.h>
#include <commctrl.h>

#include "copy_state.h"
#include "engine.h"
#include "resource_ids.h"
#include "speed_table.h"

enum { THROTTLE_STEP_MS = 10 };

void SpeedLimit_SliderMoved(HWND window)
{
    int position = (int)SendDlgItemMessageA(window, IDC_PROGRESS_SLIDER,
                                            TBM_GETPOS, 0, 0);
    const SPEED_ROW *row = SpeedTable_Row(position);
    int chunkSize = row->chunkSize;
    if (chunkSize > TRANSFER_BUFFER_SIZE)
        chunkSize = TRANSFER_BUFFER_SIZE;
    // The limit goes first: a runner that reads the large chunk of "None"
    // then also sees that there is no limit, and does not wait for it.
    CopyState.speedLimit = row->speedLimit;
    CopyState.chunkSize = chunkSize;
    // With no limit the monitor refills nothing, so a runner waiting in
    // Throttle at this moment is released here.
    if (position >= SPEED_NO_LIMIT_POSITION)
        CopyState.throttleBudget = 1;

    char label[SPEED_LABEL_CHARS];
    lstrcpynA(label, row->label, sizeof label);
    SetDlgItemTextA(window, IDC_PROGRESS_LIMIT, label);
}

void Throttle(int bytes)
{
    if (CopyState.throttleBudget.fetch_sub(bytes) >= bytes)
        return;
    // The wait also ends on a stop (after a cancel the monitor refills
    // nothing more) and when the limit is lifted: a runner that took its
    // chunk just as the slider reached "None" may subtract after the
    // budget was set to 1, and with no limit no refill would ever come.
    while (CopyState.throttleBudget < 0 && CopyState.speedLimit != 0 &&
           !CopyState.stopRequested)
        Sleep(THROTTLE_STEP_MS);
}
