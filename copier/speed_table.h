// The speed-limit slider's table: for each of its 21 positions the label
// shown beside it, the limit in bytes per second and the chunk size of the
// runner's reads.  Pure logic, no Win32 call.
#pragma once

enum {
    SPEED_POSITIONS = 21,
    SPEED_NO_LIMIT_POSITION = 20,   // "None": no limit, whole-buffer chunks
    SPEED_LABEL_CHARS = 32,
};

struct SPEED_ROW {
    const char *label;      // text of the label beside the slider
    int speedLimit;         // bytes per second; 0 = no limit
    int chunkSize;          // bytes per read and write
};

extern const SPEED_ROW c_speedTable[SPEED_POSITIONS];

// The row of a slider position.  A position outside 0 to 20 (a trackbar
// whose range was never set, or a foreign message) is held to the nearest
// end rather than read past the table.
const SPEED_ROW *SpeedTable_Row(int position);
