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

int AdviceFor(int reason) {
    switch (reason) {
    case ENOSPC: return kAdviceFreeRoom;
    case EDQUOT: return kAdviceFreeShare;
    case EACCES:
    case EPERM: return kAdviceAllowWriting;
    case EROFS: return kAdviceMakeWritable;
    // The files are small: only a limit the game was started with refuses
    // them for their size.
    case EFBIG: return kAdviceLiftSizeLimit;
    case EIO:
    case EUCLEAN:
    case EBADMSG:
    case EREMOTEIO: return kAdviceCheckDisk;
    case ELOOP: return kAdviceMendLink;
    case ENAMETOOLONG: return kAdviceShortenPath;
    case ENOTDIR: return kAdviceMoveFile;
    case EISDIR:
    case ENOTEMPTY:
    case EEXIST: return kAdviceMoveFolder;
    // Nothing at the path, or a drive or a network folder not there now.
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOMEDIUM:
    case ESTALE:
    case ENOTCONN:
    case ETIMEDOUT:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ENETUNREACH:
    case ENOLINK: return kAdviceBringBack;
    case ENFILE:
    case ENOMEM:
    case ENOBUFS: return kAdviceCloseOthers;
    case EMFILE: return kAdviceLiftOpenLimit;
    case EBUSY:
    case ETXTBSY:
    case EAGAIN:
    case EINTR: return kAdviceWait;
    case kReasonCopyNamesTaken: return kAdviceMoveCopies;
    case kReasonFolderReplaced: return kAdvicePutFolderBack;
    default: return kAdviceCheckFolder;
    }
}

ProgressMessage SaveFailureMessage(const SaveFailure& failure) {
    const std::string why = strerror(failure.error);
    ProgressMessage m;
    m.title = kSaveFailureTitle;
    m.advice = AdviceFor(failure.error);
    switch (failure.problem) {
    case SaveProblem::WRITE_FAILED:
    case SaveProblem::NO_COPY:
        m.body = kNotSavedBody;
        m.text = AwayFileText(failure.folder, why);
        break;
    case SaveProblem::NO_COPY_NAME:
        m.body = kNotSavedNoCopyNameBody;
        m.text = ShownPath(failure.file + CProfileBase::kDamagedSuffix);
        m.advice = AdviceFor(kReasonCopyNamesTaken);
        break;
    case SaveProblem::UNREACHABLE:
        if (failure.list) m.title = kListNotSavedTitle;
        m.body = failure.list ? kListNotSavedAwayBody : kNotSavedAwayBody;
        m.text = AwayFileText(failure.file, why);
        break;
    case SaveProblem::FOLDER_NOT_OURS:
        m.body = kNotSavedFolderReplacedBody;
        m.text = ShownPath(failure.folder);
        m.advice = AdviceFor(kReasonFolderReplaced);
        break;
    case SaveProblem::FOLDER_AWAY:
        m.body = kNotSavedFolderAwayBody;
        m.text = AwayFileText(failure.folder, why);
        break;
    default:
        m.body = kSaveFailureBody;
        m.advice = -1;
        break;
    }
    return m;
}

ProgressMessage SwitchRefusedMessage(const SaveFailure& failure, const std::string& player) {
    // The data folder itself refuses every save, whoever plays, and so does
    // a list away: told as the box of a failed save tells it.
    if (failure.problem == SaveProblem::FOLDER_AWAY || failure.problem == SaveProblem::FOLDER_NOT_OURS || failure.list)
        return SaveFailureMessage(failure);
    ProgressMessage m;
    m.title = kSaveFailureTitle;
    m.text = player;
    m.text2 = strerror(failure.error);
    m.advice = AdviceFor(failure.error);
    switch (failure.problem) {
    case SaveProblem::NO_COPY: m.body = kSwitchRefusedNoCopyBody; break;
    case SaveProblem::NO_COPY_NAME:
        m.body = kSwitchRefusedNoNameBody;
        m.text2 = ShownPath(failure.file + CProfileBase::kDamagedSuffix);
        m.advice = AdviceFor(kReasonCopyNamesTaken);
        break;
    case SaveProblem::UNREACHABLE:
        m.body = kSwitchRefusedAwayBody;
        m.text2 = AwayFileText(failure.file, strerror(failure.error));
        break;
    default: m.body = kSwitchRefusedBody; break;
    }
    return m;
}

ProgressMessage UnreachableMessage(const DamageNotice& unreachable) {
    ProgressMessage m;
    m.title = kUnreachableTitle;
    m.body = kUnreachableBody;
    m.text = unreachable.player;
    m.text2 = AwayFileText(unreachable.file, unreachable.why);
    m.advice = AdviceFor(unreachable.error);
    return m;
}

std::string AwayFileText(const std::string& file, const std::string& why) {
    return ShownPath(file) + " (" + why + ")";
}
