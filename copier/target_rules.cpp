// Existing-target rules: complete, continue or ask.
#include "target_rules.h"

TARGET_DECISION TargetRules_Decide(uint64_t existingSize,
                                   uint64_t existingWriteTime,
                                   uint64_t sourceSize,
                                   uint64_t sourceWriteTime,
                                   int *copyRestAllowed)
{
    *copyRestAllowed = 0;
    if (existingWriteTime == sourceWriteTime) {
        // Every target gets its source's times when it is closed, also one
        // cut short, so the same time means a copy of this very source.
        if (existingSize == sourceSize)
            return TARGET_COMPLETE;
        if (existingSize < sourceSize)
            return TARGET_CONTINUE;
        // Larger than its source: continuing would append nothing and, in
        // a move, delete a source whose copy differs from it.  The user
        // decides, and there is no rest to copy.
        return TARGET_ASK;
    }
    // An empty file holds nothing to lose: write the whole source into it.
    if (existingSize == 0)
        return TARGET_CONTINUE;
    *copyRestAllowed = existingSize < sourceSize ? 1 : 0;
    return TARGET_ASK;
}

int TargetRules_PolicyChoice(int replacePolicy)
{
    if (replacePolicy == 0)
        return 1;
    if (replacePolicy == 1)
        return 0;
    return -1;
}
