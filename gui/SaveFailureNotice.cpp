#include "gui/SaveFailureNotice.h"

#include <cerrno>
#include <cstring>

#include "engine/CController.h"
#include "engine/Utilities.h"
#include "players/CProfile.h"

bool TakeSaveFailureNotice() {
    CProfile* profile = CController::GetProfile();
    return profile && profile->TakeSaveFailureNotice();
}

SaveRemedy RemedyFor(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return SaveRemedy::FREE_ROOM;
    case EROFS:
    case EACCES:
    case EPERM: return SaveRemedy::ALLOW_WRITING;
    default: return SaveRemedy::OTHER;
    }
}

ProgressMessage SaveFailureMessage(const SaveFailure& failure) {
    const std::string why = strerror(failure.error);
    ProgressMessage m;
    m.title = kSaveFailureTitle;
    switch (failure.problem) {
    case SaveProblem::WRITE_FAILED:
    case SaveProblem::NO_COPY: {
        constexpr int kBodies[] = {kNotSavedNoRoomBody, kNotSavedNoWriteBody, kNotSavedRefusedBody};
        m.body = kBodies[static_cast<int>(RemedyFor(failure.error))];
        m.text = AwayFileText(failure.folder, why);
        break;
    }
    case SaveProblem::NO_COPY_NAME:
        m.body = kNotSavedNoCopyNameBody;
        m.text = ShownPath(failure.file + CProfileBase::kDamagedSuffix);
        break;
    case SaveProblem::UNREACHABLE:
        if (failure.list) m.title = kListNotSavedTitle;
        m.body = failure.list ? kListNotSavedAwayBody : kNotSavedAwayBody;
        m.text = AwayFileText(failure.file, why);
        break;
    case SaveProblem::FOLDER_NOT_OURS:
        m.body = kNotSavedFolderReplacedBody;
        m.text = ShownPath(failure.folder);
        break;
    case SaveProblem::FOLDER_AWAY:
        m.body = kNotSavedFolderAwayBody;
        m.text = AwayFileText(failure.folder, why);
        break;
    default: m.body = kSaveFailureBody; break;
    }
    return m;
}

ProgressMessage SwitchRefusedMessage(const CProfile& profile) {
    const SaveFailure& failure = profile.GetSaveFailure();
    // The data folder itself refuses every save, whoever plays, and so does
    // a list away: told as the box of a failed save tells it.
    if (failure.problem == SaveProblem::FOLDER_AWAY || failure.problem == SaveProblem::FOLDER_NOT_OURS || failure.list)
        return SaveFailureMessage(failure);
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
