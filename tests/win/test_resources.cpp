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

// Skips a sz_Or_Ord field of a dialog template: 0x0000 (none), 0xFFFF and
// an ordinal, or a zero-terminated wide string.
static const WORD *Resources_SkipField(const WORD *p)
{
    if (*p == 0xFFFF)
        return p + 2;
    while (*p)
        p++;
    return p + 1;
}

// The style that the template (DIALOGEX) gives control `id`, as written in
// the resource; controls may change their own style when created.  Returns
// 0 if the dialog or the control is missing.
static DWORD Resources_TemplateStyle(int dialogId, int id)
{
    HMODULE copier = Resources_Copier();
    HRSRC found = copier ? FindResourceA(copier, MAKEINTRESOURCEA(dialogId), (LPCSTR)RT_DIALOG) : NULL;
    const BYTE *base = found ? (const BYTE *)LockResource(LoadResource(copier, found)) : NULL;
    if (!base || ((const WORD *)base)[1] != 0xFFFF)
        return 0;                               // not an extended template
    DWORD dialogStyle = *(const DWORD *)(base + 12);
    WORD count = *(const WORD *)(base + 16);
    const WORD *p = (const WORD *)(base + 26);
    p = Resources_SkipField(p);                 // menu
    p = Resources_SkipField(p);                 // class
    p = Resources_SkipField(p);                 // title
    if (dialogStyle & DS_SETFONT)
        p = Resources_SkipField(p + 3);         // size, weight, italic+charset, face
    for (WORD i = 0; i < count; i++) {
        const BYTE *item = (const BYTE *)(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3);
        DWORD style = *(const DWORD *)(item + 8);
        int itemId = *(const int *)(item + 20);
        if (itemId == id)
            return style;
        p = Resources_SkipField((const WORD *)(item + 24));    // class
        p = Resources_SkipField(p);                             // title
        p = (const WORD *)((const BYTE *)(p + 1) + *p);         // extra data
    }
    return 0;
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

struct ExpectedControl {
    int id;
    const char *className;  // lower case
    const char *text;       // initial text; nullptr: not checked
    DWORD typeMask;         // bits of the style that must equal typeValue
    DWORD typeValue;
    DWORD requiredBits;     // style bits that must be set
    DWORD forbiddenBits;    // style bits that must be clear
};

// Finds the control: by id, or for id -1 by its text.
static HWND Resources_FindControl(HWND dialog, const ExpectedControl &expected)
{
    if (expected.id != -1)
        return GetDlgItem(dialog, expected.id);
    for (HWND child : Resources_Children(dialog))
        if ((short)GetDlgCtrlID(child) == -1 && Resources_TextOf(child) == expected.text)
            return child;
    return NULL;
}

static void Resources_CheckControls(HWND dialog, const ExpectedControl *controls, size_t count)
{
    for (size_t i = 0; i < count; i++) {
        const ExpectedControl &expected = controls[i];
        SCOPED_TRACE("control " + std::to_string(expected.id) + " " +
                     (expected.text ? expected.text : ""));
        HWND control = Resources_FindControl(dialog, expected);
        ASSERT_NE((HWND)NULL, control);
        EXPECT_EQ(expected.className, Resources_ClassOf(control));
        if (expected.text) {
            EXPECT_EQ(expected.text, Resources_TextOf(control));
        }
        DWORD style = (DWORD)GetWindowLongA(control, GWL_STYLE);
        EXPECT_EQ(expected.typeValue, style & expected.typeMask);
        EXPECT_EQ(expected.requiredBits, style & expected.requiredBits);
        EXPECT_EQ(0u, style & expected.forbiddenBits);
    }
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

TEST(Resources, ProgressWindowHasTheListedControls)
{
    HWND dialog = Resources_CreateDialog(IDD_PROGRESS);
    ASSERT_NE((HWND)NULL, dialog);
    DWORD style = (DWORD)GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_EQ((DWORD)(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME),
              style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME));
    EXPECT_EQ("", Resources_TextOf(dialog));    // the monitor sets the title

    const DWORD button = BS_TYPEMASK, stat = SS_TYPEMASK;
    const ExpectedControl controls[] = {
        {IDC_PROGRESS_CANCEL, "button", "&Cancel", button, BS_PUSHBUTTON, BS_BITMAP, 0},
        {IDC_PROGRESS_PAUSE, "button", "&Pause", button, BS_DEFPUSHBUTTON, BS_BITMAP, 0},
        {IDC_PROGRESS_ABOUT, "button", "&i", button, BS_PUSHBUTTON, BS_BITMAP, 0},
        {IDC_PROGRESS_ANIMATION, "sysanimate32", nullptr, 0, 0, ACS_TRANSPARENT,
         ACS_AUTOPLAY | ACS_CENTER},
        {IDC_PROGRESS_SLIDER, "msctls_trackbar32", nullptr, 0, 0, TBS_NOTICKS, 0},
        {IDC_PROGRESS_LIMIT, "static", "None", stat, SS_CENTER, 0, 0},
        {-1, "static", "Speedlimit:", stat, SS_LEFT, 0, 0},
        {IDC_PROGRESS_BAR, "msctls_progress32", nullptr, 0, 0, PBS_SMOOTH, 0},
        {IDC_PROGRESS_PERCENT, "static", "  0 %", stat, SS_LEFT, 0, 0},
        {IDC_PROGRESS_FROM, "static", "From : ", stat, SS_LEFTNOWORDWRAP, 0, 0},
        {IDC_PROGRESS_TO, "static", "To    :", stat, SS_LEFTNOWORDWRAP, 0, 0},
        {IDC_PROGRESS_BYTESLEFT, "static", "Bytes left:", stat, SS_LEFT, 0, 0},
        {IDC_PROGRESS_SPEED, "static", "0 KB/Sec             ", stat, SS_LEFT, 0, 0},
        {IDC_PROGRESS_TIMELEFT, "static", "Time left:", stat, SS_LEFT, 0, 0},
    };
    Resources_CheckControls(dialog, controls, sizeof controls / sizeof controls[0]);
    EXPECT_EQ(sizeof controls / sizeof controls[0], Resources_Children(dialog).size());
    // The progress bar drops WS_BORDER when it is created (it draws its own
    // edge), so the border is looked up in the template.
    EXPECT_EQ((DWORD)(WS_BORDER | PBS_SMOOTH),
              Resources_TemplateStyle(IDD_PROGRESS, IDC_PROGRESS_BAR) & (WS_BORDER | PBS_SMOOTH));
    EXPECT_EQ((DWORD)(BS_DEFPUSHBUTTON | BS_BITMAP),
              Resources_TemplateStyle(IDD_PROGRESS, IDC_PROGRESS_PAUSE) & (BS_TYPEMASK | BS_BITMAP));

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

TEST(Resources, ReplaceDialogHasTheListedControls)
{
    HWND dialog = Resources_CreateDialog(IDD_REPLACE);
    ASSERT_NE((HWND)NULL, dialog);
    EXPECT_EQ("Confirm File Replace", Resources_TextOf(dialog));
    EXPECT_EQ(0u, (DWORD)GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU) << "no close box";

    const DWORD button = BS_TYPEMASK, stat = SS_TYPEMASK;
    const ExpectedControl controls[] = {
        {-1, "static", "This folder already contains a file named", stat, SS_LEFT, 0, 0},
        {-1, "static", "Would you like to replace the existing file", stat, SS_LEFT, 0, 0},
        {-1, "static", "with this one?", stat, SS_LEFT, 0, 0},
        {IDC_REPLACE_NAME, "edit", nullptr, 0, 0, ES_READONLY, 0},
        {IDC_REPLACE_EXISTSIZE, "static", "", stat, SS_LEFT, 0, 0},
        {IDC_REPLACE_EXISTDATE, "static", "", stat, SS_LEFT, 0, 0},
        {IDC_REPLACE_SOURCESIZE, "static", "", stat, SS_LEFT, 0, 0},
        {IDC_REPLACE_SOURCEDATE, "static", "", stat, SS_LEFT, 0, 0},
        {IDC_REPLACE_ICON1, "static", nullptr, stat, SS_ICON, 0, 0},
        {IDC_REPLACE_ICON2, "static", nullptr, stat, SS_ICON, 0, 0},
        {IDC_REPLACE_YES, "button", "&Yes", button, BS_DEFPUSHBUTTON, 0, WS_DISABLED},
        {IDC_REPLACE_NO, "button", "&No", button, BS_PUSHBUTTON, 0, WS_DISABLED},
        {IDC_REPLACE_COPYREST, "button", "&Copy rest", button, BS_PUSHBUTTON, WS_DISABLED, 0},
        {IDC_REPLACE_YESTOALL, "button", "Yes to &all", button, BS_PUSHBUTTON, 0, WS_DISABLED},
        {IDC_REPLACE_NOTOALL, "button", "N&o to all", button, BS_PUSHBUTTON, 0, WS_DISABLED},
    };
    Resources_CheckControls(dialog, controls, sizeof controls / sizeof controls[0]);

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

TEST(Resources, ErrorDialogHasTheListedControls)
{
    HWND dialog = Resources_CreateDialog(IDD_ERROR);
    ASSERT_NE((HWND)NULL, dialog);
    EXPECT_EQ("Error Copying File", Resources_TextOf(dialog));
    EXPECT_EQ(0u, (DWORD)GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU) << "no close box";

    const DWORD button = BS_TYPEMASK, stat = SS_TYPEMASK;
    const ExpectedControl controls[] = {
        {IDC_ERROR_HEADING, "static", "", stat, SS_LEFT, 0, 0},
        {IDC_ERROR_TEXT, "static", "", stat, SS_LEFT, 0, 0},
        {-1, "button", "Retry", button, BS_GROUPBOX, 0, 0},
        {-1, "button", "Skip", button, BS_GROUPBOX, 0, 0},
        {IDC_ERROR_RETRY, "button", "&Manual retry - Pause copy", button, BS_DEFPUSHBUTTON,
         0, WS_DISABLED},
        {IDC_ERROR_AUTORETRY, "button", "&Auto-retry every 20th second", button,
         BS_PUSHBUTTON, 0, WS_DISABLED},
        {IDC_ERROR_SKIP, "button", "&Skip this file", button, BS_PUSHBUTTON, WS_DISABLED, 0},
        {IDC_ERROR_SKIPALL, "button", "S&kip all files with errors", button, BS_PUSHBUTTON,
         WS_DISABLED, 0},
    };
    Resources_CheckControls(dialog, controls, sizeof controls / sizeof controls[0]);

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

TEST(Resources, AboutBoxHasTheListedControls)
{
    HWND dialog = Resources_CreateDialog(IDD_ABOUT);
    ASSERT_NE((HWND)NULL, dialog);
    EXPECT_EQ("About Tessary Copy", Resources_TextOf(dialog));
    const DWORD button = BS_TYPEMASK, stat = SS_TYPEMASK;
    const ExpectedControl controls[] = {
        {IDC_ABOUT_OK, "button", "OK", button, BS_DEFPUSHBUTTON, 0, 0},
        {IDC_ABOUT_WEB, "edit", nullptr, 0, 0, ES_READONLY, 0},
        {IDC_ABOUT_MAIL, "edit", nullptr, 0, 0, ES_READONLY, 0},
        {-1, "static", "Tessary Copy", stat, SS_LEFT, 0, 0},
    };
    Resources_CheckControls(dialog, controls, sizeof controls / sizeof controls[0]);
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
