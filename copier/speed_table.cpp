// The speed-limit table of the progress window's slider, and its lookup.
#include "speed_table.h"

// A tenth of the limit per chunk at the low positions, so that one chunk
// fits one 100 ms refill; larger chunks above, for fewer calls.  Some rows
// share a chunk size with their neighbour (7 with 6, 9 with 10, 17 with
// 16) on purpose.
const SPEED_ROW c_speedTable[SPEED_POSITIONS] = {
    {"50 KB/Sec", 50000, 5000},
    {"100 KB/Sec", 100000, 10000},
    {"200 KB/Sec", 200000, 20000},
    {"300 KB/Sec", 300000, 30000},
    {"400 KB/Sec", 400000, 40000},
    {"500 KB/Sec", 500000, 50000},
    {"600 KB/Sec", 600000, 60000},
    {"700 KB/Sec", 700000, 60000},
    {"800 KB/Sec", 800000, 80000},
    {"900 KB/Sec", 900000, 100000},
    {"1000 KB/Sec", 1000000, 100000},
    {"1200 KB/Sec", 1200000, 150000},
    {"1500 KB/Sec", 1500000, 200000},
    {"1800 KB/Sec", 1800000, 300000},
    {"2000 KB/Sec", 2000000, 400000},
    {"2500 KB/Sec", 2500000, 500000},
    {"3000 KB/Sec", 3000000, 800000},
    {"3500 KB/Sec", 3500000, 800000},
    {"4000 KB/Sec", 4000000, 1000000},
    {"5000 KB/Sec", 5000000, 1000000},
    {"None", 0, 1000000},
};

const SPEED_ROW *SpeedTable_Row(int position)
{
    if (position < 0)
        position = 0;
    if (position >= SPEED_POSITIONS)
        position = SPEED_POSITIONS - 1;
    return &c_speedTable[position];
}
