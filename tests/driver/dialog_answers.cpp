// A user who answers every question of the copier in one fixed way.
#include "dialog_answers.h"

#include <gtest/gtest.h>

#include "resource_ids.h"

static void Answers_Question(HWND dialog, DRIVER_ANSWERS *answers)
{
    bool copyRest = Driver_IsItemEnabled(dialog, IDC_REPLACE_COPYREST);
    answers->questions.push_back(Driver_GetItemText(dialog, IDC_REPLACE_NAME));
    answers->copyRestOffered.push_back(copyRest);
    int button = answers->replaceButton;
    if (!Driver_IsItemEnabled(dialog, button))
        button = IDC_REPLACE_YES;
    Driver_Click(dialog, button);
}

// Returns false when the error offered no skip.
static bool Answers_Error(HWND dialog, DRIVER_ANSWERS *answers)
{
    answers->errors.push_back(Driver_GetItemText(dialog, IDC_ERROR_HEADING));
    answers->errorTexts.push_back(Driver_GetItemText(dialog, IDC_ERROR_TEXT));
    if (!Driver_IsItemEnabled(dialog, IDC_ERROR_SKIP)) {
        answers->errorsWithoutSkip++;
        return false;
    }
    Driver_Click(dialog, IDC_ERROR_SKIP);
    return true;
}

bool Driver_AnswerOpenDialogs(DRIVER_COPIER *copier, DRIVER_ANSWERS *answers)
{
    static const char *const c_errorTitles[] = {"Error Copying File",
                                                "Error Moving File"};
    if (Driver_HasDialog(copier, "Confirm File Replace")) {
        HWND dialog = Driver_WaitForDialog(copier, "Confirm File Replace");
        if (dialog) {
            Answers_Question(dialog, answers);
            Driver_WaitForWindowGone(dialog);
        }
    }
    for (const char *title : c_errorTitles) {
        if (!Driver_HasDialog(copier, title))
            continue;
        HWND dialog = Driver_WaitForDialog(copier, title);
        if (!dialog)
            continue;
        if (!Answers_Error(dialog, answers))
            return false;
        Driver_WaitForWindowGone(dialog);
    }
    if (Driver_HasDialog(copier, "Items Skipped")) {
        HWND list = Driver_WaitForDialog(copier, "Items Skipped");
        if (list) {
            answers->skippedList += Driver_GetItemText(list, IDC_SKIPPED_LIST);
            Driver_Click(list, IDC_SKIPPED_OK);
            Driver_WaitForWindowGone(list);
        }
    }
    return true;
}

bool Driver_AnswerUntilExit(DRIVER_COPIER *copier, DRIVER_ANSWERS *answers,
                            DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!Driver_WaitForExit(copier, 20)) {
        if (GetTickCount() - start > timeoutMs ||
            !Driver_AnswerOpenDialogs(copier, answers)) {
            Driver_Kill(copier);
            return false;
        }
    }
    return true;
}

bool Driver_RunWithoutQuestions(DRIVER_COPIER *copier, DWORD timeoutMs)
{
    DRIVER_ANSWERS answers;
    answers.replaceButton = IDC_REPLACE_NO;     // leaves the target alone
    bool ended = Driver_AnswerUntilExit(copier, &answers, timeoutMs);
    EXPECT_TRUE(ended) << "the copier did not end by itself";
    EXPECT_TRUE(answers.questions.empty())
        << "the copier asked about " << answers.questions[0];
    EXPECT_TRUE(answers.errors.empty())
        << "the copier reported " << answers.errors[0] << ": "
        << answers.errorTexts[0];
    EXPECT_TRUE(answers.skippedList.empty())
        << "the copier left items out:\n" << answers.skippedList;
    return ended && answers.questions.empty() && answers.errors.empty() &&
           answers.skippedList.empty();
}

bool Driver_RunToTheSkippedList(DRIVER_COPIER *copier, std::string *list,
                                DWORD timeoutMs)
{
    DRIVER_ANSWERS answers;
    answers.replaceButton = IDC_REPLACE_NO;
    bool ended = Driver_AnswerUntilExit(copier, &answers, timeoutMs);
    EXPECT_TRUE(ended) << "the copier did not end by itself";
    EXPECT_TRUE(answers.questions.empty())
        << "the copier asked about " << answers.questions[0];
    EXPECT_TRUE(answers.errors.empty())
        << "the copier reported " << answers.errors[0];
    EXPECT_FALSE(answers.skippedList.empty())
        << "the job ended without its list of items left out";
    *list = answers.skippedList;
    return ended && answers.questions.empty() && answers.errors.empty() &&
           !list->empty();
}
