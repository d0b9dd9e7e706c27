// Byte comparisons of a source with its target, in the two halves of the
// one transfer buffer, so that no comparison allocates anything.
#include "compare_files.h"

#include <cstring>

#include "copy_paths.h"
#include "copy_state.h"

enum { COMPARE_PIECE = TRANSFER_BUFFER_SIZE / 2 };

static bool CompareFiles_Seek(HANDLE file, uint64_t offset)
{
    LONG high = (LONG)(offset >> 32);
    DWORD low = SetFilePointer(file, (LONG)(offset & 0xFFFFFFFFu), &high,
                               FILE_BEGIN);
    return low != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR;
}

static bool CompareFiles_ReadExactly(HANDLE file, uint8_t *buffer, DWORD size)
{
    DWORD got = 0;
    return ReadFile(file, buffer, size, &got, NULL) && got == size;
}

// One file under two names (another drive letter for the same folder, a
// link): deleting the "source" would delete the only copy.
static bool CompareFiles_SameFile(HANDLE a, HANDLE b)
{
    BY_HANDLE_FILE_INFORMATION infoA, infoB;
    if (!GetFileInformationByHandle(a, &infoA) ||
        !GetFileInformationByHandle(b, &infoB))
        return false;
    return infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
}

COMPARE_RESULT CompareFiles_Range(HANDLE source, const wchar_t *targetPath,
                                  uint64_t offset, uint64_t length)
{
    HANDLE target = CreateFileW(CopyPaths_ForApi(targetPath).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (target == INVALID_HANDLE_VALUE)
        return COMPARE_DIFFERENT;
    COMPARE_RESULT result = COMPARE_EQUAL;
    if (CompareFiles_SameFile(source, target)) {
        result = COMPARE_SAME_FILE;
    } else if (!CompareFiles_Seek(source, offset) ||
               !CompareFiles_Seek(target, offset)) {
        result = COMPARE_DIFFERENT;
    }
    uint8_t *sourceBytes = CopyState.transferBuffer;
    uint8_t *targetBytes = CopyState.transferBuffer + COMPARE_PIECE;
    while (result == COMPARE_EQUAL && length > 0) {
        DWORD piece = length < (uint64_t)COMPARE_PIECE ? (DWORD)length
                                                      : (DWORD)COMPARE_PIECE;
        if (!CompareFiles_ReadExactly(source, sourceBytes, piece) ||
            !CompareFiles_ReadExactly(target, targetBytes, piece) ||
            memcmp(sourceBytes, targetBytes, piece) != 0)
            result = COMPARE_DIFFERENT;
        length -= piece;
    }
    CloseHandle(target);
    return result;
}

enum {
    KEPT_PART_SAMPLES = 16,
    KEPT_PART_SAMPLE_BYTES = 4096,
};

COMPARE_RESULT CompareFiles_KeptPart(HANDLE source, const wchar_t *targetPath,
                                     uint64_t keptSize)
{
    uint64_t chunk = (uint64_t)CopyState.chunkSize.load();
    if (chunk == 0 || chunk > TRANSFER_BUFFER_SIZE)
        chunk = TRANSFER_BUFFER_SIZE;
    uint64_t edge = keptSize < chunk ? keptSize : chunk;
    COMPARE_RESULT result = CompareFiles_Range(source, targetPath, 0, edge);
    if (result != COMPARE_EQUAL || edge == keptSize)
        return result;
    result = CompareFiles_Range(source, targetPath, keptSize - edge, edge);
    for (int i = 1; i <= KEPT_PART_SAMPLES && result == COMPARE_EQUAL; i++) {
        uint64_t offset = keptSize / (KEPT_PART_SAMPLES + 1) * i;
        uint64_t length = keptSize - offset;
        if (length > (uint64_t)KEPT_PART_SAMPLE_BYTES)
            length = KEPT_PART_SAMPLE_BYTES;
        result = CompareFiles_Range(source, targetPath, offset, length);
    }
    return result;
}
