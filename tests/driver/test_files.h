// File helpers shared by the Wine tests: paths, known bytes and times for
// sources, reading targets back and comparing them, whole trees, listings
// and each test's own folders.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// folder\name, with one backslash between them.
std::string Files_Join(const std::string &folder, const std::string &name);

// ASCII letters in lower case, as the copier shows paths.
std::string Files_Lower(std::string text);

// Deterministic bytes that differ from file to file and from one position
// to the next, so a misplaced or repeated chunk shows.
std::string Files_Pattern(size_t size, unsigned seed);

// A fixed last-write time per seed, far from "now", so a target that got
// its own time instead of the source's is told apart at once.
FILETIME Files_SeedTime(unsigned seed);

// A local wall-clock time as the file system's UTC file time.
FILETIME Files_LocalTime(WORD year, WORD month, WORD day, WORD hour,
                         WORD minute, WORD second);

// Gives the file `time` as its creation, access and last-write time.
bool Files_SetWriteTime(const std::string &path, const FILETIME &time);

// Writes `content` and gives the file `time` (fails the test otherwise).
void Files_MakeFile(const std::string &path, const std::string &content,
                    const FILETIME &time);

// Creates one folder (fails the test otherwise).
void Files_MakeFolder(const std::string &path);

// The file holds exactly `expected`; a mismatch is described by sizes and
// first differing offset, not by megabytes of bytes.
::testing::AssertionResult Files_HasBytes(const std::string &path,
                                          const std::string &expected);

// The file's last-write time is `time` (creation times are not kept by
// Wine, so they prove nothing).
::testing::AssertionResult Files_HasWriteTime(const std::string &path,
                                              const FILETIME &time);

// An offset of a kept part of `keptSize` bytes that the copier does not
// compare before it continues it (its first and last 1,000,000 bytes and
// sixteen samples of 4096 bytes spread between them), or 0 when it
// compares every byte.  A byte changed there tells a true continue, which
// keeps it, from a copy written anew, which would not.
size_t Files_UncomparedOffset(size_t keptSize);

// Changes the byte at `offset` of an existing file, keeping its size and
// last-write time.  Returns false when the file could not be changed.
bool Files_FlipByte(const std::string &path, size_t offset);

// The file's size, or -1 when it is not there.  Reading the size needs no
// handle, so it works on a file the copier holds open.
LONGLONG Files_Size(const std::string &path);
// Polls until the file holds at least `bytes`; false on time-out.
bool Files_WaitForSize(const std::string &path, LONGLONG bytes,
                       DWORD timeoutMs = 30000);

// Names in a folder, "." and ".." left out, sorted.
std::vector<std::string> Files_List(const std::string &folder);

// `path` for the wide calls; with `longForm` it carries the "\\?\" prefix
// that lets a path go beyond MAX_PATH characters.
std::wstring Files_Wide(const std::string &path, bool longForm = false);

// Creates `folder`\`name`, a name that only the wide calls can give (one
// the ANSI code page cannot hold), holding `content`.
void Files_MakeWideFile(const std::string &folder, const wchar_t *name,
                        const std::string &content);
bool Files_WideExists(const std::string &folder, const wchar_t *name);

// The same path under its drive letter in the other case ("z:" for "Z:").
// The copier's same-drive test compares drive letters byte for byte, so to
// it this is another drive and a move between the two is a copy and a
// delete, while the file system finds the same files.
std::string Files_OnOtherDrive(const std::string &path);

// Everything below a folder: each folder and file by its path relative to
// the root, and of each file its bytes, last-write time and attributes.
struct FILES_ENTRY {
    std::string relative;
    bool folder;
    std::string bytes;
    FILETIME written;
    DWORD attributes;
};
typedef std::vector<FILES_ENTRY> FILES_TREE;
FILES_TREE Files_Snapshot(const std::string &root);
// `root` holds exactly `tree`: not one name more or less in any folder, and
// every file with the same bytes, last-write time and attributes.
::testing::AssertionResult Files_HasTree(const std::string &root,
                                         const FILES_TREE &tree);
// The entry of `tree` at `relative` (the test fails when there is none).
const FILES_ENTRY &Files_Entry(const FILES_TREE &tree,
                               const std::string &relative);

// Deletes everything inside `folder`, paths beyond MAX_PATH and names the
// ANSI code page cannot hold included; read-only attributes are cleared
// first so a test's leftovers never stop the next run.
void Files_EmptyFolder(const std::string &folder);
// Removes a folder and everything in it (best effort, for clean-up).
void Files_RemoveTree(const std::string &folder);

// The running test's name, for folders of its own.
const char *Files_TestName(void);

// One test's folders: a temporary folder for the job files, and a work
// folder holding the empty folders src and dst.
struct FILES_SCENE {
    std::string temp;
    std::string work;
    std::string src;
    std::string dst;
};

// Makes the folders of `testName` afresh; false when any could not be made.
bool Files_NewScene(const char *testName, FILES_SCENE *scene);
