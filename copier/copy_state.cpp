// The process-wide CopyState record, its reset and its small shared helpers.
#include "copy_state.h"

#include <cstring>

COPY_STATE CopyState;

void CopyState_Reset(void)
{
    COPY_STATE *s = &CopyState;
    s->jobFilePath[0] = L'\0';
    s->jobTextForm = 0;
    s->jobBody = NULL;
    s->jobBodySize = 0;
    s->copyMode = 1;
    s->relaunchedJob = 0;
    s->sourceCount = 0;
    s->targetFolder[0] = L'\0';
    s->jobCursor = 0;
    s->currentSource[0] = L'\0';
    s->transferBuffer = NULL;
    s->skippedSources = NULL;
    s->scanSkippedItem = 0;
    s->chunkSize = TRANSFER_BUFFER_SIZE;
    s->appInstance = NULL;
    s->progressWindow = NULL;
    s->pauseImage = NULL;
    s->resumeImage = NULL;
    s->paused = 0;
    s->stopRequested = 0;
    s->runnerEnded = 0;
    s->jobDone = 0;
    s->jobFilePending = 1;
    s->topLevel = 1;
    s->jobBytes = 0;
    s->jobFiles = 0;
    s->doneBytes = 0;
    s->visitedEntries = 0;
    s->windowBytes = 0;
    s->speedLimit = 0;
    s->throttleBudget = 0;
    SharedText_Set(&s->currentSourceText, L"");
    SharedText_Set(&s->currentTargetText, L"");
    s->replacePolicy = REPLACE_ASK;
    s->dialogChoice = 0;
    s->replaceNameText[0] = L'\0';
    s->existingSizeText[0] = '\0';
    s->sourceSizeText[0] = '\0';
    s->existingDateText[0] = '\0';
    s->sourceDateText[0] = '\0';
    s->skipAllErrors = 0;
    s->skipCurrentFile = 0;
    s->autoRetry = 0;
    s->errorHeading[0] = L'\0';
    s->errorText[0] = L'\0';
    s->sameFolder = 0;
    s->copyOfCounter = 0;
    s->resumedFile = 0;
    s->resumeOffset = 0;
    s->linkDepth = 0;
    s->scanTrail.depth = 0;
    s->copyTrail.depth = 0;
    s->targetFileSystem[0] = '\0';
    s->targetTimeStep = 0;
    s->targetTimeStepKnown = 0;
}

void SharedText_Set(SHARED_TEXT *shared, const wchar_t *text)
{
    shared->sequence.fetch_add(1, std::memory_order_acq_rel);   // odd: busy
    std::atomic_thread_fence(std::memory_order_release);
    lstrcpynW(shared->text, text, COPIER_TEXT_CHARS);
    shared->sequence.fetch_add(1, std::memory_order_release);   // even: done
}

void SharedText_Get(SHARED_TEXT *shared, wchar_t *out, size_t outSize)
{
    for (;;) {
        unsigned before = shared->sequence.load(std::memory_order_acquire);
        if (before & 1) {
            Sleep(0);
            continue;
        }
        lstrcpynW(out, shared->text, (int)outSize);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (shared->sequence.load(std::memory_order_relaxed) == before)
            return;
    }
}

bool SkippedSources_Has(int index)
{
    return CopyState.skippedSources &&
           (CopyState.skippedSources[index / 8] & (1u << (index % 8)));
}

void SkippedSources_Add(int index)
{
    if (CopyState.skippedSources)
        CopyState.skippedSources[index / 8] |= (uint8_t)(1u << (index % 8));
}

