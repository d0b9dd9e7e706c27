// Whether this installer may install at all.  Pure: the native tests build
// it.
#pragma once

// What IsWow64Process said of the installer's own process.
enum SETUP_WOW64 {
    SETUP_WOW64_UNKNOWN,    // the function is missing (Windows before XP
                            // SP2, always 32-bit) or the call failed
    SETUP_WOW64_NO,         // a native process: 32-bit Windows, or 64-bit
                            // code on 64-bit Windows
    SETUP_WOW64_YES,        // a 32-bit process on 64-bit Windows
};

// True when installing must be refused: a 32-bit installer (pointerBytes
// 4) on 64-bit Windows would register the drop handler in the 32-bit
// registry view, where the 64-bit Explorer never looks, and still report
// success.  A 64-bit installer is never refused, nor is one that cannot
// tell.
bool Setup_RefusesInstall(unsigned pointerBytes, SETUP_WOW64 wow64);
