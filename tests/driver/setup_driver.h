// Driving the installer: a clean installation state, the real
// tessetup.exe started with or without its window, its message boxes read
// and answered, and the programs it installs found once they run.
#pragma once

#include "ui_driver.h"

#include <string>

#define SETUP_TEST_CLASS_ID "{A4D78B20-6E05-1069-8758-4E73FD83DEAD}"

// The keys an installation writes to, by name (HKEY_LOCAL_MACHINE unless
// said otherwise).
#define SETUP_HANDLERS_KEY(kind) \
    "SOFTWARE\\Classes\\" kind "\\shellex\\DragDropHandlers"
#define SETUP_HANDLER_KEY(kind) SETUP_HANDLERS_KEY(kind) "\\TesDrop"
#define SETUP_CLASS_KEY "CLSID\\" SETUP_TEST_CLASS_ID      // HKEY_CLASSES_ROOT
#define SETUP_APPROVED_KEY \
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved"
#define SETUP_RUN_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Run"

// One registry value of an installation.
struct SETUP_VALUE {
    HKEY root;
    const char *key;
    const char *name;       // NULL: the default value
    const char *data;
};
// Every value an installation writes, in no particular order.
enum { SETUP_VALUE_COUNT = 8 };
extern const SETUP_VALUE c_SetupValues[SETUP_VALUE_COUNT];

// C:\windows\`name`, as the system reports the Windows folder.
std::string SetupDriver_WindowsPath(const char *name);

// Removes both installed files and every key and value an installation
// writes (deepest key first), so a test starts from a clean system.
// Parent keys stay, as after an uninstall.
void SetupDriver_Clean(void);

// The value's data, or "<missing>" / "<type N>" / "<size N>" when it is
// absent, no REG_SZ, or its stored length does not count one closing zero.
std::string SetupDriver_ReadValue(HKEY root, const char *key, const char *name);
bool SetupDriver_KeyExists(HKEY root, const char *key);

// Starts `program` (bin\tessetup.exe when empty) with `argument` and waits
// for its setup window, unless `argument` is not empty.
bool SetupDriver_Start(DRIVER_COPIER *setup, const std::string &argument = "",
                       const std::string &program = "");
// Runs `tessetup.exe argument` to its end; returns the exit code, or -1
// when it did not end or showed a window.
int SetupDriver_RunSilent(const char *argument);

// Waits for a message box with `caption`, returns its text and presses OK;
// returns "<none>" when none came.
std::string SetupDriver_AnswerMessage(DRIVER_COPIER *setup, const char *caption);
// True when the installer's thread went back to waiting with no message box
// open, that is the operation of the last click is over.
bool SetupDriver_NoMessageOpen(DRIVER_COPIER *setup);

// Waits for the visible progress window of a copier that runs from the
// Windows folder (started by the drop handler or the resume scan, not by
// the test) and takes its window and process into `copier`.
bool SetupDriver_WaitForInstalledCopier(DRIVER_COPIER *copier);
