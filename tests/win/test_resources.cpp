// The resources inside the built tesrun.exe: every dialog has the controls
// the copier and the tests rely on (ids, classes, styles, initial texts),
// the texts fit their controls, mnemonics are unique, the pictures load at
// their sizes and the animation control accepts the copy clip.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "ui_driver.h"

static HMODULE g_Copier;

static HMODULE Resources_Copier()
{
    if (!g_Copier) {
        InitCommonControls();
        std::string path = Driver_BinFolder() + "\\tesrun.exe";
        // Mapped, not run: only its resources are wanted.
        g_Copier = LoadLibraryExA(path.c_str(), NULL, DONT_RESOLVE_DLL_REFERENCES);
    }
    return g_Copier;
}

static INT_PTR CALLBACK Resources_IdleProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// Creates the dialog hidden (no template here has WS_VISIBLE).
static HWND Resources_CreateDialog(int id)
{
    HMODULE copier = Resources_Copier();
    if (!copier)
        return NULL;
    return CreateDialogParamA(copier, MAKEINTRESOURCEA(id), NULL, Resources_IdleProc, 0);
}

static std::vector<HWND> Resources_Children(HWND dialog)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

static std::string Resources_ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    for (char *p = name; *p; p++)
        if (*p >= 'A' && *p <= 'Z')
            *p = (char)(*p - 'A' + 'a');
    return name;
}

static std::string Resources_TextOf(HWND window)
{
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// A control as the user meets it when the dialog opens: the text it shows
// (for a bitmap button, the text that gives its mnemonic), and whether it
// can be used.
struct SHOWN_CONTROL {
    int id;                 // -1: a label, found by its text
    const char *text;       // nullptr: filled in by the program, not checked
    bool enabled;
};

// Finds the control: by id, or for id -1 by its text; a label of no text
// is the dialog's picture.
static HWND Resources_FindControl(HWND dialog, const SHOWN_CONTROL &shown)
{
    if (shown.id != -1)
        return GetDlgItem(dialog, shown.id);
    for (HWND child : Resources_Children(dialog)) {
        if ((short)GetDlgCtrlID(child) != -1)
            continue;
        DWORD type = (DWORD)GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK;
        bool picture = Resources_ClassOf(child) == "static" &&
                       (type == SS_ICON || type == SS_BITMAP);
        if (*shown.text ? Resources_TextOf(child) == shown.text : picture)
            return child;
    }
    return NULL;
}

// Every control is there, shown, with its text and its enabled state; the
// dialog holds no control more.
static void Resources_CheckShown(HWND dialog, const SHOWN_CONTROL *controls, size_t count)
{
    for (size_t i = 0; i < count; i++) {
        const SHOWN_CONTROL &shown = controls[i];
        SCOPED_TRACE("control " + std::to_string(shown.id) + " " +
                     (shown.text ? shown.text : ""));
        HWND control = Resources_FindControl(dialog, shown);
        ASSERT_NE((HWND)NULL, control);
        EXPECT_NE(0, GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE);
        if (shown.text && shown.id != -1) {
            EXPECT_EQ(shown.text, Resources_TextOf(control));
        }
        EXPECT_EQ(shown.enabled, IsWindowEnabled(control) != FALSE);
    }
    EXPECT_EQ(count, Resources_Children(dialog).size());
}

// The button that Enter presses, when it is also drawn as the default
// one; 0 otherwise.
static int Resources_DefaultButton(HWND dialog)
{
    LRESULT answer = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    if (HIWORD(answer) != DC_HASDEFID)
        return 0;
    int id = (short)LOWORD(answer);
    HWND button = GetDlgItem(dialog, id);
    bool drawn = button && (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) ==
                               BS_DEFPUSHBUTTON;
    return drawn ? id : 0;
}

// A read-only field: what the user types does not change it.
static void Resources_ExpectReadOnly(HWND dialog, int id)
{
    HWND field = GetDlgItem(dialog, id);
    SetWindowTextA(field, "fixed");
    SendMessageA(field, WM_CHAR, 'x', 0);
    SendMessageA(field, WM_CHAR, VK_BACK, 0);
    EXPECT_EQ("fixed", Resources_TextOf(field)) << "control " << id;
}

// The rectangle `text` needs in the dialog's font when laid out in `width`
// pixels: word-wrapped for multi-line statics, on one line otherwise.
static SIZE Resources_TextExtent(HWND dialog, const std::string &text, int width, bool wrap)
{
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageA(dialog, WM_GETFONT, 0, 0));
    RECT rect = {0, 0, width, 0};
    DrawTextA(dc, text.c_str(), (int)text.size(), &rect,
              DT_CALCRECT | (wrap ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    SIZE size = {rect.right - rect.left, rect.bottom - rect.top};
    return size;
}

// A text that the program may put in a control must show whole: within its
// width and, for a static that wraps, within its height.  Push buttons lose
// a few pixels to their frame.
static void Resources_ExpectFits(HWND dialog, HWND control, const std::string &text)
{
    RECT client;
    GetClientRect(control, &client);
    int width = client.right - client.left, height = client.bottom - client.top;
    DWORD style = (DWORD)GetWindowLongA(control, GWL_STYLE);
    std::string name = Resources_ClassOf(control);
    bool wrap = name == "static" && (style & SS_TYPEMASK) <= SS_RIGHT;
    if (name == "button")
        width -= 6;
    SIZE needed = Resources_TextExtent(dialog, text, width, wrap);
    EXPECT_LE(needed.cx, width) << "\"" << text << "\" is too wide for control "
                                << (short)GetDlgCtrlID(control);
    if (wrap) {
        EXPECT_LE(needed.cy, height) << "\"" << text << "\" needs more lines than control "
                                     << (short)GetDlgCtrlID(control) << " has";
    }
}

// Every control with a mnemonic must have a different letter.
static void Resources_ExpectUniqueMnemonics(HWND dialog)
{
    std::set<char> letters;
    for (HWND child : Resources_Children(dialog)) {
        std::string text = Resources_TextOf(child);
        size_t amp = text.find('&');
        if (amp == std::string::npos || amp + 1 >= text.size())
            continue;
        char letter = text[amp + 1];
        if (letter >= 'A' && letter <= 'Z')
            letter = (char)(letter - 'A' + 'a');
        EXPECT_TRUE(letters.insert(letter).second)
            << "mnemonic '" << letter << "' used twice, again by \"" << text << "\"";
    }
}

static void Resources_ExpectFixedTextsFit(HWND dialog)
{
    for (HWND child : Resources_Children(dialog)) {
        std::string name = Resources_ClassOf(child);
        DWORD style = (DWORD)GetWindowLongA(child, GWL_STYLE);
        bool pictureButton = name == "button" && (style & BS_BITMAP);
        bool textStatic = name == "static" && (style & SS_TYPEMASK) <= SS_RIGHT;
        bool textButton = name == "button" && !pictureButton;
        std::string text = Resources_TextOf(child);
        if ((textStatic || textButton) && !text.empty() &&
            (style & SS_TYPEMASK) != SS_LEFTNOWORDWRAP)
            Resources_ExpectFits(dialog, child, text);
    }
}

TEST(Resources, ProgressWindowShowsItsControls)
{
    HWND dialog = Resources_CreateDialog(IDD_PROGRESS);
    ASSERT_NE((HWND)NULL, dialog);
    // A close box and a minimize box; the title is the monitor's to set.
    DWORD style = (DWORD)GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_EQ((DWORD)(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
              style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
    EXPECT_EQ("", Resources_TextOf(dialog));

    const SHOWN_CONTROL controls[] = {
        {IDC_PROGRESS_CANCEL, "&Cancel", true},
        {IDC_PROGRESS_PAUSE, "&Pause", true},
        {IDC_PROGRESS_ABOUT, "&i", true},
        {IDC_PROGRESS_ANIMATION, nullptr, true},
        {IDC_PROGRESS_SLIDER, nullptr, true},
        {IDC_PROGRESS_LIMIT, "None", true},
        {-1, "Speedlimit:", true},
        {IDC_PROGRESS_BAR, nullptr, true},
        {IDC_PROGRESS_PERCENT, "  0 %", true},
        {IDC_PROGRESS_FROM, "From : ", true},
        {IDC_PROGRESS_TO, "To    :", true},
        {IDC_PROGRESS_BYTESLEFT, "Bytes left:", true},
        {IDC_PROGRESS_SPEED, "0 KB/Sec             ", true},
        {IDC_PROGRESS_TIMELEFT, "Time left:", true},
    };
    Resources_CheckShown(dialog, controls, sizeof controls / sizeof controls[0]);
    // Enter pauses and resumes.
    EXPECT_EQ(IDC_PROGRESS_PAUSE, Resources_DefaultButton(dialog));

    // The longest texts the monitor and the slider write.
    Resources_ExpectFits(dialog, GetDlgItem(dialog, IDC_PROGRESS_PERCENT), "100 %");
    Resources_ExpectFits(dialog, GetDlgItem(dialog, IDC_PROGRESS_BYTESLEFT),
                         "Bytes left : 999.999.999 KB");
    Resources_ExpectFits(dialog, GetDlgItem(dialog, IDC_PROGRESS_SPEED),
                         "99999 KB/Sec : Auto Retrying");
    Resources_ExpectFits(dialog, GetDlgItem(dialog, IDC_PROGRESS_TIMELEFT),
                         "Time left : 9999:59");
    Resources_ExpectFits(dialog, GetDlgItem(dialog, IDC_PROGRESS_LIMIT), "5000 KB/Sec");
    Resources_ExpectFixedTextsFit(dialog);
    Resources_ExpectUniqueMnemonics(dialog);
    DestroyWindow(dialog);
}

TEST(Resources, ReplaceDialogShowsItsControls)
{
    HWND dialog = Resources_CreateDialog(IDD_REPLACE);
    ASSERT_NE((HWND)NULL, dialog);
    EXPECT_EQ("Confirm File Replace", Resources_TextOf(dialog));
    EXPECT_EQ(0u, (DWORD)GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU) << "no close box";

    const SHOWN_CONTROL controls[] = {
        {-1, "This folder already contains a file named", true},
        {-1, "Would you like to replace the existing file", true},
        {-1, "with this one?", true},
        {IDC_REPLACE_NAME, nullptr, true},
        {IDC_REPLACE_EXISTSIZE, "", true},
        {IDC_REPLACE_EXISTDATE, "", true},
        {IDC_REPLACE_SOURCESIZE, "", true},
        {IDC_REPLACE_SOURCEDATE, "", true},
        {IDC_REPLACE_ICON1, nullptr, true},
        {IDC_REPLACE_ICON2, nullptr, true},
        {IDC_REPLACE_YES, "&Yes", true},
        {IDC_REPLACE_NO, "&No", true},
        {IDC_REPLACE_COPYREST, "&Copy rest", false},
        {IDC_REPLACE_YESTOALL, "Yes to &all", true},
        {IDC_REPLACE_NOTOALL, "N&o to all", true},
        {-1, "", true},             // the picture at the top left
    };
    Resources_CheckShown(dialog, controls, sizeof controls / sizeof controls[0]);
    EXPECT_EQ(IDC_REPLACE_YES, Resources_DefaultButton(dialog));
    Resources_ExpectReadOnly(dialog, IDC_REPLACE_NAME);

    // The picture at the top left is bitmap 122.
    bool hasPicture = false;
    for (HWND child : Resources_Children(dialog))
        if (((DWORD)GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP &&
            SendMessageA(child, STM_GETIMAGE, IMAGE_BITMAP, 0))
            hasPicture = true;
    EXPECT_TRUE(hasPicture);

    Resources_ExpectFits(dialog, GetDlgItem(dialog, IDC_REPLACE_EXISTSIZE),
                         "999.999.999.999 Bytes");
    Resources_ExpectFits(dialog, GetDlgItem(dialog, IDC_REPLACE_SOURCEDATE),
                         "modified on September 30, 2003, 23:59:59");
    Resources_ExpectFits(dialog, GetDlgItem(dialog, IDC_REPLACE_NAME),
                         "'a long name of a file of forty chars.txt'");
    Resources_ExpectFixedTextsFit(dialog);
    Resources_ExpectUniqueMnemonics(dialog);
    DestroyWindow(dialog);
}

TEST(Resources, ErrorDialogShowsItsControls)
{
    HWND dialog = Resources_CreateDialog(IDD_ERROR);
    ASSERT_NE((HWND)NULL, dialog);
    EXPECT_EQ("Error Copying File", Resources_TextOf(dialog));
    EXPECT_EQ(0u, (DWORD)GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU) << "no close box";

    const SHOWN_CONTROL controls[] = {
        {IDC_ERROR_HEADING, "", true},
        {IDC_ERROR_TEXT, "", true},
        {-1, "Retry", true},
        {-1, "Skip", true},
        {IDC_ERROR_RETRY, "&Manual retry - Pause copy", true},
        {IDC_ERROR_AUTORETRY, "&Auto-retry every 20th second", true},
        {IDC_ERROR_SKIP, "&Skip this file", false},
        {IDC_ERROR_SKIPALL, "S&kip all files with errors", false},
        {-1, "", true},             // the icon
    };
    Resources_CheckShown(dialog, controls, sizeof controls / sizeof controls[0]);
    EXPECT_EQ(IDC_ERROR_RETRY, Resources_DefaultButton(dialog));

    // Icon 123 stands in the dialog.
    bool hasIcon = false;
    for (HWND child : Resources_Children(dialog))
        if (((DWORD)GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            SendMessageA(child, STM_GETICON, 0, 0))
            hasIcon = true;
    EXPECT_TRUE(hasIcon);

    // A system message of two lines must show whole: the second line has
    // room for at least two lines of text.
    HWND text = GetDlgItem(dialog, IDC_ERROR_TEXT);
    RECT client;
    GetClientRect(text, &client);
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageA(dialog, WM_GETFONT, 0, 0));
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    EXPECT_GE(client.bottom - client.top, 2 * metrics.tmHeight);

    Resources_ExpectFixedTextsFit(dialog);
    Resources_ExpectUniqueMnemonics(dialog);
    DestroyWindow(dialog);
}

TEST(Resources, AboutBoxShowsItsControls)
{
    HWND dialog = Resources_CreateDialog(IDD_ABOUT);
    ASSERT_NE((HWND)NULL, dialog);
    EXPECT_EQ("About Tessary Copy", Resources_TextOf(dialog));
    EXPECT_EQ(0u, (DWORD)GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU) << "no close box";
    const SHOWN_CONTROL controls[] = {
        {IDC_ABOUT_OK, "OK", true},
        {IDC_ABOUT_WEB, nullptr, true},
        {IDC_ABOUT_MAIL, nullptr, true},
        {-1, "Tessary Copy", true},
        {-1, "Copies and moves files with pause and resume, a speed limit and "
             "automatic retry.",
         true},
        {-1, "Web:", true},
        {-1, "E-mail:", true},
        {-1, "", true},             // the icon
    };
    Resources_CheckShown(dialog, controls, sizeof controls / sizeof controls[0]);
    EXPECT_EQ(IDC_ABOUT_OK, Resources_DefaultButton(dialog));
    Resources_ExpectReadOnly(dialog, IDC_ABOUT_WEB);
    Resources_ExpectReadOnly(dialog, IDC_ABOUT_MAIL);
    Resources_ExpectFixedTextsFit(dialog);
    DestroyWindow(dialog);
}

TEST(Resources, PicturesLoadAtTheirSizes)
{
    HMODULE copier = Resources_Copier();
    ASSERT_NE((HMODULE)NULL, copier);
    struct {
        int id, width, height;
    } bitmaps[] = {
        {IDB_CANCEL, 53, 15}, {IDB_ABOUT, 19, 21}, {IDB_PAUSE, 42, 13},
        {IDB_RESUME, 53, 13}, {IDB_REPLACE_PICTURE, 32, 32},
    };
    for (const auto &expected : bitmaps) {
        HBITMAP bitmap = LoadBitmapA(copier, MAKEINTRESOURCEA(expected.id));
        ASSERT_NE((HBITMAP)NULL, bitmap) << "bitmap " << expected.id;
        BITMAP info;
        ASSERT_NE(0, GetObjectA(bitmap, sizeof info, &info));
        EXPECT_EQ(expected.width, info.bmWidth) << "bitmap " << expected.id;
        EXPECT_EQ(expected.height, info.bmHeight) << "bitmap " << expected.id;
        DeleteObject(bitmap);
    }
    for (int id : {IDI_PROGRAM, IDI_ERROR_ICON}) {
        HICON icon = (HICON)LoadImageA(copier, MAKEINTRESOURCEA(id), IMAGE_ICON, 32, 32, 0);
        EXPECT_NE((HICON)NULL, icon) << "icon " << id;
        if (icon)
            DestroyIcon(icon);
    }
}

// Opening the clip makes the control (which has no ACS_CENTER) take the
// clip's frame size; a clip the control rejects fails the open instead.
TEST(Resources, AnimationControlOpensTheClipAtItsSize)
{
    HWND dialog = Resources_CreateDialog(IDD_PROGRESS);
    ASSERT_NE((HWND)NULL, dialog);
    HWND animation = GetDlgItem(dialog, IDC_PROGRESS_ANIMATION);
    ASSERT_NE((HWND)NULL, animation);
    // wParam 0: the control's own module, as the copier opens it.
    EXPECT_NE(0, SendMessageA(animation, ACM_OPENA, 0, (LPARAM)MAKEINTRESOURCEA(IDR_COPY_CLIP)));
    RECT rect;
    GetWindowRect(animation, &rect);
    EXPECT_EQ(260, rect.right - rect.left);
    EXPECT_EQ(40, rect.bottom - rect.top);
    EXPECT_NE(0, SendMessageA(animation, ACM_PLAY, (WPARAM)-1, MAKELPARAM(0, 0xFFFF)));
    SendMessageA(animation, ACM_STOP, 0, 0);
    DestroyWindow(dialog);
}

TEST(Resources, VersionRecordNamesTheProduct)
{
    // version.dll is loaded by hand: the test programs link no extra library.
    HMODULE version = LoadLibraryA("version.dll");
    ASSERT_NE((HMODULE)NULL, version);
    typedef DWORD(WINAPI * SizeFn)(LPCSTR, LPDWORD);
    typedef BOOL(WINAPI * InfoFn)(LPCSTR, DWORD, DWORD, LPVOID);
    typedef BOOL(WINAPI * QueryFn)(LPCVOID, LPCSTR, LPVOID *, PUINT);
    SizeFn getSize = (SizeFn)(void *)GetProcAddress(version, "GetFileVersionInfoSizeA");
    InfoFn getInfo = (InfoFn)(void *)GetProcAddress(version, "GetFileVersionInfoA");
    QueryFn query = (QueryFn)(void *)GetProcAddress(version, "VerQueryValueA");
    ASSERT_TRUE(getSize && getInfo && query);

    std::string path = Driver_BinFolder() + "\\tesrun.exe";
    DWORD handle = 0;
    DWORD size = getSize(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(getInfo(path.c_str(), 0, size, block.data()));
    struct {
        const char *key, *value;
    } strings[] = {
        {"\\StringFileInfo\\040904E4\\ProductName", "Tessary Copy"},
        {"\\StringFileInfo\\040904E4\\OriginalFilename", "tesrun.exe"},
    };
    for (const auto &expected : strings) {
        char *value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(query(block.data(), expected.key, (LPVOID *)&value, &length)) << expected.key;
        EXPECT_STREQ(expected.value, value);
    }
    FreeLibrary(version);
}
