// The parameter file (resource8.dat): one "KEY VALUE" pair per line.
#pragma once

// Reads the file (default: resource8.dat in the working folder). A missing
// MOREGAMES_URL is fatal (exit code 1).
void LoadParameters(const char* path = "resource8.dat");

const char* GetMoreGamesURL();  // never null after LoadParameters
const char* GetVendorID();      // null when not given
const char* GetScoreboardURL(); // the score server's address; null when not given
bool UseZJBlink();
bool UseMoreGames();
bool UseMoreLevels();

// Back to the defaults before any file was read (tests).
void ResetParameters();
