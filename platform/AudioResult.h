// Result codes of our audio layer and their texts. Every call of the layer
// returns one of these; 0 is success.
#pragma once

enum AudioResult : int {
    AUDIO_OK = 0,
    AUDIO_ERR_INVALID_PARAM,     // an argument outside its range
    AUDIO_ERR_INVALID_HANDLE,    // a null or unknown sound or channel
    AUDIO_ERR_CHANNEL_STOLEN,    // the channel was reused for another sound
    AUDIO_ERR_UNINITIALIZED,     // the system is not initialised yet
    AUDIO_ERR_INITIALIZED,       // the call is only allowed before init
    AUDIO_ERR_OUTPUT_INIT,       // no audio device could be opened
    AUDIO_ERR_FILE_NOT_FOUND,    // a sound file that cannot be opened
    AUDIO_ERR_FILE_BAD,          // a sound file that cannot be decoded
    AUDIO_ERR_FORMAT,            // a sound file of a kind we do not decode
    AUDIO_ERR_MEMORY,            // a sound too large to hold decoded
};

// The text of a result; results we do not know give "Unknown error.".
const char* AudioErrorString(int result);
