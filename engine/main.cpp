// The game's entry point: start-up, the frame loop and shut-down.
#include <cstdlib>
#include <ctime>

#include "engine/Log.h"
#include "engine/Parameters.h"
#include "engine/Utilities.h"

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    srand(static_cast<unsigned>(time(nullptr)));
    InitDebugLog(false);
    EnableDebugCategory(DBG_NOTE);
    EnableDebugCategory(DBG_WARNING);
    EnableDebugCategory(DBG_ERROR);
    LoadParameters();
    InitDirectories();
    return 0;
}
