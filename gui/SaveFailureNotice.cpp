#include "gui/SaveFailureNotice.h"

#include "engine/CController.h"
#include "players/CProfile.h"

bool TakeSaveFailureNotice() {
    CProfile* profile = CController::GetProfile();
    return profile && profile->TakeSaveFailureNotice();
}
