// The copier's command line: "/startup", "NNN" or "NNNR".  Pure logic.
#pragma once

#include <cstddef>

enum JOB_ARGUMENT_KIND {
    JOB_ARGUMENT_RESUME_SCAN,   // "/startup", exactly
    JOB_ARGUMENT_JOB,           // a job name to look for
    JOB_ARGUMENT_REFUSED,       // longer than a job name: end silently
};

// Sorts the argument.  For a job, `jobName` (at least JOB_NAME_CHARS + 1
// bytes) receives the name to append to "tesqueue." and `paused` is set for
// the "NNNR" form.
JOB_ARGUMENT_KIND JobArguments_Parse(const char *argument, char *jobName,
                                     int *paused);

// Job number of a file found by the resume scan, from its 8.3 name, or from
// its long name where the file system gives no 8.3 name.  Only names of
// exactly "tesqueue." and three digits count.  Fills `number` (4 bytes) and
// returns true for a job file.
bool JobArguments_NumberFromFoundName(const char *shortName,
                                      const char *longName, char *number);
