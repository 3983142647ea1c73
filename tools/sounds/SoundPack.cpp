#include "BuildSteps.h"
#include "CPackWriter.h"

// Placeholder until this step is written: an empty pack.
bool BuildSoundPack(const BuildContext& ctx) {
    CPackWriter pack;
    return pack.Write(ctx.outDir + "/resource3.dat");
}
