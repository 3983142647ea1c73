// The parameter file (kParameterFile): one "KEY VALUE" pair per line.
#pragma once

#include "engine/ResourceFiles.h"

// Reads the file (default: kParameterFile in the working folder). A missing
// MOREGAMES_URL is fatal (exit code 1).
void LoadParameters(const char* path = kParameterFile);

const char* GetMoreGamesURL();  // never null after LoadParameters
const char* GetVendorID();      // null when not given
const char* GetScoreboardURL(); // the score server's address; null when not given
bool UseZJBlink();
bool UseMoreGames();
bool UseMoreLevels();

// Back to the defaults before any file was read (tests).
void ResetParameters();
