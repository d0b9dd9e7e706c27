// Answers a running copier's dialogs the way one user would, until the
// copier ends, and records what it was asked.  Shared by the engine tests
// and the fault suite.
#pragma once

#include <string>
#include <vector>

#include "ui_driver.h"

struct DRIVER_ANSWERS {
    // Pressed in "Confirm File Replace" when enabled, else "&Yes".
    int replaceButton = 0;
    // One entry per question: the file's name as the dialog shows it, and
    // whether "&Copy rest" was offered.
    std::vector<std::string> questions;
    std::vector<bool> copyRestOffered;
    // One entry per error dialog: its first line.  An error is answered
    // "&Skip this file"; one that offers no skip ends the copier instead.
    std::vector<std::string> errors;       // each error's heading
    std::vector<std::string> errorTexts;   // and the system's text for it
    int errorsWithoutSkip = 0;
    // The "Items Skipped" list a finished job showed (closed with OK), as
    // the window shows it; empty when it showed none.
    std::string skippedList;
};

// Answers the dialogs open now.  Returns false on an error that offers no
// skip (left open).
bool Driver_AnswerOpenDialogs(DRIVER_COPIER *copier, DRIVER_ANSWERS *answers);

// Answers until the copier ends by itself (true) or `timeoutMs` pass; the
// copier is then ended and false returned.
bool Driver_AnswerUntilExit(DRIVER_COPIER *copier, DRIVER_ANSWERS *answers,
                            DWORD timeoutMs);

// Runs the copier to its end as a user who is asked nothing: the test fails
// on any question, error or list of skipped items it shows (each is
// answered as above, so that the job can end) and when it does not end.  Returns true when it ended
// by itself without asking.
bool Driver_RunWithoutQuestions(DRIVER_COPIER *copier,
                                DWORD timeoutMs = DRIVER_TIMEOUT_MS);

// As Driver_RunWithoutQuestions, for a job that has left items out: it must
// end with its "Items Skipped" list, whose text goes into `list`.
bool Driver_RunToTheSkippedList(DRIVER_COPIER *copier, std::string *list,
                                DWORD timeoutMs = DRIVER_TIMEOUT_MS);
