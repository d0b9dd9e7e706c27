// The rules that settle an existing target file from its size and
// last-write time against the source's.  Pure logic, no Win32 call.
#pragma once

#include <cstdint>

enum TARGET_DECISION {
    TARGET_COMPLETE,   // already a full copy: pass over, count as done
    TARGET_CONTINUE,   // an interrupted copy or an empty file: write on at its end
    TARGET_ASK,        // ask the replace question (or apply a to-all answer)
};

// Decides about an existing target.  Times are whole 64-bit file times
// (high word times 2^32 plus low word).  For TARGET_ASK, `copyRestAllowed`
// receives 1 when "&Copy rest" may be offered (the target is smaller than
// its source), else 0; it is 0 for the other outcomes.
TARGET_DECISION TargetRules_Decide(uint64_t existingSize,
                                   uint64_t existingWriteTime,
                                   uint64_t sourceSize,
                                   uint64_t sourceWriteTime,
                                   int *copyRestAllowed);

// The dialogChoice that a replace policy gives to a question: 1 pass over
// for REPLACE_NONE (0), 0 replace for REPLACE_ALL (1), and -1 for
// REPLACE_ASK (-1): the user must be asked.  "&Copy rest" is never chosen
// by a policy.
int TargetRules_PolicyChoice(int replacePolicy);
