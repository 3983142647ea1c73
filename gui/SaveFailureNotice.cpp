#include "gui/SaveFailureNotice.h"

#include <cstring>

#include "engine/CController.h"
#include "engine/Utilities.h"
#include "players/CProfile.h"

bool TakeSaveFailureNotice() {
    CProfile* profile = CController::GetProfile();
    return profile && profile->TakeSaveFailureNotice();
}

ProgressMessage SwitchRefusedMessage(const CProfile& profile) {
    const SaveFailure& failure = profile.GetSaveFailure();
    ProgressMessage m;
    m.title = kSaveFailureTitle;
    m.text = profile.GetProfileName(profile.GetCurrentProfile());
    switch (failure.problem) {
    case SaveProblem::NO_COPY:
        m.body = kSwitchRefusedNoCopyBody;
        m.text2 = strerror(failure.error);
        break;
    case SaveProblem::NO_COPY_NAME:
        m.body = kSwitchRefusedNoNameBody;
        m.text2 = ShownPath(failure.file + CProfileBase::kDamagedSuffix);
        break;
    case SaveProblem::UNREACHABLE:
        m.body = kSwitchRefusedAwayBody;
        m.text2 = AwayFileText(failure.file, strerror(failure.error));
        break;
    default:
        m.body = kSwitchRefusedBody;
        m.text2 = strerror(failure.error);
        break;
    }
    return m;
}

ProgressMessage UnreachableMessage(const DamageNotice& unreachable) {
    ProgressMessage m;
    m.title = kUnreachableTitle;
    m.body = kUnreachableBody;
    m.text = unreachable.player;
    m.text2 = AwayFileText(unreachable.file, unreachable.why);
    return m;
}

std::string AwayFileText(const std::string& file, const std::string& why) {
    return ShownPath(file) + " (" + why + ")";
}
