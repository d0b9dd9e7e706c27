// resgen: writes the copier's pictures (button bitmaps, the replace
// picture, the icons and the copy clip) into the folder named on its
// command line, for tesrun.rc to take in; with --setup the installer's
// pictures instead, for tessetup.rc.
//
//   resgen [--setup] OUTPUT_FOLDER
#include "resgen.h"

#include <cstdio>

static Canvas g_Picture;
static Canvas g_Small;
static Canvas g_Frames[c_ClipFrames];

int main(int argc, char **argv)
{
    if (argc == 3 && std::string(argv[1]) == "--setup")
        return SetupPictures_WriteAll(std::string(argv[2]) + "/") ? 0 : 1;
    if (argc != 2) {
        std::fprintf(stderr, "usage: resgen [--setup] OUTPUT_FOLDER\n");
        return 2;
    }
    std::string folder = std::string(argv[1]) + "/";
    bool written = true;

    Pictures_CancelButton(&g_Picture);
    written &= Bmp_Write(folder + "cancel.bmp", &g_Picture);
    Pictures_AboutButton(&g_Picture);
    written &= Bmp_Write(folder + "about.bmp", &g_Picture);
    Pictures_PauseButton(&g_Picture);
    written &= Bmp_Write(folder + "pause.bmp", &g_Picture);
    Pictures_ResumeButton(&g_Picture);
    written &= Bmp_Write(folder + "resume.bmp", &g_Picture);
    Pictures_ReplaceDialog(&g_Picture);
    written &= Bmp_Write(folder + "replace.bmp", &g_Picture);

    const Canvas *icon[2] = {&g_Picture, &g_Small};
    Pictures_ErrorIcon(&g_Picture, 32);
    Pictures_ErrorIcon(&g_Small, 16);
    written &= Ico_Write(folder + "error.ico", icon, 2);
    Pictures_ProgramIcon(&g_Picture, 32);
    Pictures_ProgramIcon(&g_Small, 16);
    written &= Ico_Write(folder + "program.ico", icon, 2);

    for (int frame = 0; frame < c_ClipFrames; frame++)
        Clip_DrawFrame(&g_Frames[frame], frame);
    written &= Avi_Write(folder + "copy.avi", g_Frames, c_ClipFrames, 100000);

    return written ? 0 : 1;
}
