#include "platform/AudioResult.h"

const char* AudioErrorString(int result) {
    switch (result) {
        case AUDIO_OK: return "No errors.";
        case AUDIO_ERR_INVALID_PARAM: return "An invalid parameter was passed to this function.";
        case AUDIO_ERR_INVALID_HANDLE: return "An invalid object handle was used.";
        case AUDIO_ERR_CHANNEL_STOLEN: return "The specified channel has been reused to play another sound.";
        case AUDIO_ERR_UNINITIALIZED: return "This command failed because the sound system was not initialized.";
        case AUDIO_ERR_INITIALIZED: return "Cannot call this command after the sound system has been initialized.";
        case AUDIO_ERR_OUTPUT_INIT: return "Error initializing the sound output device.";
        case AUDIO_ERR_FILE_NOT_FOUND: return "File not found.";
        case AUDIO_ERR_FILE_BAD: return "Error loading file.";
        case AUDIO_ERR_FORMAT: return "Unsupported file or audio format.";
        case AUDIO_ERR_MEMORY: return "Not enough memory or resources.";
        default: return "Unknown error.";
    }
}
