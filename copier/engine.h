// The copier's operations, one line each on who calls them and where they
// run.  Fields they share live in copy_state.h.
#pragma once

#include <windows.h>

#include <cstdint>

// Runner thread body: copies or moves every source of the job, then sets
// runnerEnded and stopRequested; the monitor, the title's only writer,
// then shows "Finished" and sets jobDone.  (runner.cpp)
unsigned __stdcall RunJob(void *unused);

// Copies or moves one source (file, folder, \\server\share) into
// `targetFolder`; recursive for subfolders.  Runner thread.  (copy_tree.cpp)
void CopyTree(const wchar_t *sourcePath, const wchar_t *targetFolder);

// The file procedure of CopyTree: copies or moves the file `sourcePath`
// (whose listing entry is `entry`) to `targetPath`, which is
// `targetFolder` + "\" + its name.  Returns true when a move deleted the
// source.  Runner thread.  (copy_tree_file.cpp)
bool CopyTree_File(const wchar_t *sourcePath, const wchar_t *targetFolder,
                   const wchar_t *targetPath, const WIN32_FIND_DATAW *entry);

// Move mode outside any folder reached through a link: true where a copied
// source is deleted and an emptied source folder removed.  (copy_tree.cpp)
bool CopyTree_MovesSources(void);

// Adds the sizes and file counts below `path` to jobBytes and jobFiles.
// Monitor thread, before the runner starts.  (scan_tree.cpp)
void ScanTree(const wchar_t *path);

// Monitor thread body: window set-up, the scan, starting RunJob, then the
// 100 ms refresh.  (monitor.cpp)
unsigned __stdcall MonitorJob(void *unused);

// The single way a failed file operation is reported.  Before the call the
// caller sets skipCurrentFile to 1 where it can pass the item over; after it
// skipCurrentFile says 1 pass over, 0 retry.  (report_error.cpp)
void ReportError(const wchar_t *pathText, DWORD errorCode);

// Reports a failure with a skip offered, as every failure of the copier
// is: returns true when the user asked for another try (and the job goes
// on).  A skip is consumed here and the item goes into the list of items
// left out, with the error's text as its reason.  (report_error.cpp)
bool ReportError_Retry(const wchar_t *pathText, DWORD errorCode);

// Speed-limit slider moved (any WM_HSCROLL from it): sets speedLimit and
// chunkSize from the slider's position and shows its label.  Window
// thread.  (speed_limit.cpp)
void SpeedLimit_SliderMoved(HWND window);

// Takes `bytes` from the speed budget and, while the budget is below 0,
// waits for the monitor's refill (or a stop).  Runner thread, only while
// speedLimit is not 0.  (speed_limit.cpp)
void Throttle(int bytes);

// Dialog procedures.
INT_PTR CALLBACK ProgressWindowProc(HWND, UINT, WPARAM, LPARAM);   // progress_window.cpp
INT_PTR CALLBACK AboutBoxProc(HWND, UINT, WPARAM, LPARAM);         // about_box.cpp
INT_PTR CALLBACK ErrorDialogProc(HWND, UINT, WPARAM, LPARAM);      // error_dialog.cpp
INT_PTR CALLBACK ReplaceDialogProc(HWND, UINT, WPARAM, LPARAM);    // replace_dialog.cpp

// Shows the items the finished job left out (if any) and waits until the
// user has seen them; keeps the list in a text file beside the job file
// meanwhile.  Window thread.  (skipped_list.cpp)
void SkippedList_Show(HWND owner);

// Loads a button picture mapped to the button face colour in use (the
// pictures are drawn on the classic grey face).  (startup.cpp)
HBITMAP LoadButtonImage(int id);

// Starts a thread running `body` (the win32 thread model has no
// std::thread), with room on its stack for the walk of the deepest tree a
// path can hold.  Returns FALSE when the thread could not be started.
BOOL StartThread(unsigned(__stdcall *body)(void *));
