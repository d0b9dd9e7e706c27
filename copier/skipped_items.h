// The items a job left out (skipped after an error, a link loop, a name it
// can't reach, a link a move leaves in place), each with its reason, so the
// end of the job can say what was not done.  Written by the monitor thread
// during the scan and by the runner afterwards, read by the window thread
// once the runner has ended.
#pragma once

#include <windows.h>

// Reasons of the entries that are not error texts.
#define SKIPPED_REASON_LOOP \
    L"A link to a folder that holds it: it was not entered again."
#define SKIPPED_REASON_LINK_KEPT \
    L"A link: what it points to was copied, and the link itself was left " \
    L"in place."

// Adds one item: its path (or the text shown for it) and the reason.
void SkippedItems_Add(const wchar_t *path, const wchar_t *reason);

// Items added so far.
int SkippedItems_Count(void);

// All items, one per line pair ("path" then the indented reason), with
// CR LF line ends; an empty text when there are none.  Valid until the next
// SkippedItems_Add.
const wchar_t *SkippedItems_Text(void);

// Writes the list, as UTF-8 that Notepad recognises, beside the job file
// (`jobFilePath` + ".skipped.txt") and puts that path into `listPath`
// (COPIER_PATH_CHARS units).  Returns false when it could not be written.
bool SkippedItems_WriteFile(const wchar_t *jobFilePath, wchar_t *listPath);
