// The one rule that stops an installer: see install_refusal.h.
#include "install_refusal.h"

bool Setup_RefusesInstall(unsigned pointerBytes, SETUP_WOW64 wow64)
{
    return pointerBytes == 4 && wow64 == SETUP_WOW64_YES;
}
