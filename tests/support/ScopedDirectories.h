// Puts the game's folders (InitDirectories) back as a test found them, once
// its own home is gone: forgotten when none were known, else worked out again
// from the environment. Declare it before the CScopedHome it outlives.
#pragma once

#include "engine/Utilities.h"

class CScopedDirectories {
public:
    CScopedDirectories() : known_(*GetProfileDir() != '\0') {}
    ~CScopedDirectories() {
        ResetDirectories();
        if (known_) InitDirectories();
    }
    CScopedDirectories(const CScopedDirectories&) = delete;
    CScopedDirectories& operator=(const CScopedDirectories&) = delete;

private:
    bool known_;
};
