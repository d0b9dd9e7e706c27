// Parsing of the copier's argument and of the names the resume scan finds.
#include "job_arguments.h"

#include <cstring>

#include "ascii_case.h"
#include "job_file.h"

JOB_ARGUMENT_KIND JobArguments_Parse(const char *argument, char *jobName,
                                     int *paused)
{
    *paused = 0;
    jobName[0] = '\0';
    if (strcmp(argument, "/startup") == 0)
        return JOB_ARGUMENT_RESUME_SCAN;

    size_t length = strlen(argument);
    if (length > JOB_NAME_CHARS)
        return JOB_ARGUMENT_REFUSED;
    // The name goes behind the temporary folder's path: nothing in it may
    // lead out of that folder.
    if (strpbrk(argument, "\\/:"))
        return JOB_ARGUMENT_REFUSED;

    memcpy(jobName, argument, length + 1);
    if (length == JOB_NAME_CHARS && jobName[3] == 'R') {
        // "123R" names the same file as "123"; it only starts paused.
        jobName[3] = '\0';
        *paused = 1;
    }
    return JOB_ARGUMENT_JOB;
}

static bool JobArguments_IsJobFileName(const char *name)
{
    static const char prefix[] = JOB_NAME_PREFIX;
    const size_t prefixLength = sizeof prefix - 1;
    if (strlen(name) != prefixLength + 3)
        return false;
    for (size_t i = 0; i < prefixLength; i++) {
        if (LowerCaseAsciiChar(name[i]) != prefix[i])
            return false;
    }
    for (size_t i = prefixLength; i < prefixLength + 3; i++)
        if (name[i] < '0' || name[i] > '9')
            return false;
    return true;
}

bool JobArguments_NumberFromFoundName(const char *shortName,
                                      const char *longName, char *number)
{
    const char *name = NULL;
    if (shortName && JobArguments_IsJobFileName(shortName))
        name = shortName;
    else if (longName && JobArguments_IsJobFileName(longName))
        name = longName;
    if (!name)
        return false;
    memcpy(number, name + sizeof(JOB_NAME_PREFIX) - 1, 3);
    number[3] = '\0';
    return true;
}
