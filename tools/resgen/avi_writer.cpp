// Writes the copy clip as an AVI file the animation control can play:
// uncompressed 8-bit frames ('DIB ', BI_RGB, chunks '00db'), the has-index
// flag in the main header and an idx1 whose offsets count from the 'movi'
// tag.  Every frame is a key frame, so the control can start anywhere.
#include "resgen.h"

const uint32_t c_AviHasIndex = 0x10;        // AVIF_HASINDEX
const uint32_t c_AviKeyFrame = 0x10;        // AVIIF_KEYFRAME

// Opens a chunk (or a RIFF/LIST when listType is given) and returns where
// its size goes; Avi_EndChunk fills the size in once the body is written.
static size_t Avi_BeginChunk(std::string *out, const char *code,
                             const char *listType)
{
    Bytes_FourCC(out, code);
    size_t sizeOffset = out->size();
    Bytes_U32(out, 0);
    if (listType)
        Bytes_FourCC(out, listType);
    return sizeOffset;
}

static void Avi_EndChunk(std::string *out, size_t sizeOffset)
{
    Bytes_PatchU32(out, sizeOffset, (uint32_t)(out->size() - sizeOffset - 4));
    // Chunks start on even offsets; the pad byte is not part of the size.
    if (out->size() % 2)
        out->push_back('\0');
}

bool Avi_Write(const std::string &path, const Canvas *frames, int frameCount,
               int microSecondsPerFrame)
{
    if (frameCount < 1)
        return false;
    int width = frames[0].width, height = frames[0].height;
    uint32_t frameBytes = (uint32_t)(Dib_RowBytes(width, 8) * height);
    uint32_t framesPerSecond = 1000000u / (uint32_t)microSecondsPerFrame;

    std::string avi;
    size_t riff = Avi_BeginChunk(&avi, "RIFF", "AVI ");
    size_t headers = Avi_BeginChunk(&avi, "LIST", "hdrl");

    size_t mainHeader = Avi_BeginChunk(&avi, "avih", nullptr);
    Bytes_U32(&avi, (uint32_t)microSecondsPerFrame);
    Bytes_U32(&avi, frameBytes * framesPerSecond);  // max bytes per second
    Bytes_U32(&avi, 0);                 // padding granularity
    Bytes_U32(&avi, c_AviHasIndex);
    Bytes_U32(&avi, (uint32_t)frameCount);
    Bytes_U32(&avi, 0);                 // initial frames
    Bytes_U32(&avi, 1);                 // streams
    Bytes_U32(&avi, frameBytes);        // suggested buffer size
    Bytes_U32(&avi, (uint32_t)width);
    Bytes_U32(&avi, (uint32_t)height);
    for (int i = 0; i < 4; i++)
        Bytes_U32(&avi, 0);             // reserved
    Avi_EndChunk(&avi, mainHeader);

    size_t stream = Avi_BeginChunk(&avi, "LIST", "strl");
    size_t streamHeader = Avi_BeginChunk(&avi, "strh", nullptr);
    Bytes_FourCC(&avi, "vids");
    Bytes_FourCC(&avi, "DIB ");
    Bytes_U32(&avi, 0);                 // flags
    Bytes_U16(&avi, 0);                 // priority
    Bytes_U16(&avi, 0);                 // language
    Bytes_U32(&avi, 0);                 // initial frames
    Bytes_U32(&avi, (uint32_t)microSecondsPerFrame);   // scale ...
    Bytes_U32(&avi, 1000000);           // ... and rate: rate / scale = frames per second
    Bytes_U32(&avi, 0);                 // start
    Bytes_U32(&avi, (uint32_t)frameCount);
    Bytes_U32(&avi, frameBytes);        // suggested buffer size
    Bytes_U32(&avi, 0xFFFFFFFFu);       // quality: default
    Bytes_U32(&avi, 0);                 // sample size: frames vary
    Bytes_U16(&avi, 0);                 // frame rectangle: left, top, right, bottom
    Bytes_U16(&avi, 0);
    Bytes_U16(&avi, (uint32_t)width);
    Bytes_U16(&avi, (uint32_t)height);
    Avi_EndChunk(&avi, streamHeader);

    size_t streamFormat = Avi_BeginChunk(&avi, "strf", nullptr);
    Dib_AppendHeader(&avi, width, height, frameBytes);
    Dib_AppendPalette(&avi);
    Avi_EndChunk(&avi, streamFormat);
    Avi_EndChunk(&avi, stream);
    Avi_EndChunk(&avi, headers);

    size_t movie = Avi_BeginChunk(&avi, "LIST", "movi");
    size_t movieTag = movie + 4;        // the offsets of idx1 count from here
    std::string index;
    for (int i = 0; i < frameCount; i++) {
        if (frames[i].width != width || frames[i].height != height)
            return false;
        size_t frameChunk = Avi_BeginChunk(&avi, "00db", nullptr);
        Dib_AppendRows(&avi, &frames[i]);
        Avi_EndChunk(&avi, frameChunk);

        Bytes_FourCC(&index, "00db");
        Bytes_U32(&index, c_AviKeyFrame);
        Bytes_U32(&index, (uint32_t)(frameChunk - 4 - movieTag));
        Bytes_U32(&index, frameBytes);
    }
    Avi_EndChunk(&avi, movie);

    size_t indexChunk = Avi_BeginChunk(&avi, "idx1", nullptr);
    avi += index;
    Avi_EndChunk(&avi, indexChunk);
    Avi_EndChunk(&avi, riff);
    return Bytes_Save(path, avi);
}
