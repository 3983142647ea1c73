#include "BuildSteps.h"
#include "CPackWriter.h"

// Placeholder until this step is written: an empty pack.
bool BuildStringTable(const BuildContext& ctx) {
    CPackWriter pack;
    return pack.Write(ctx.outDir + "/resource5.dat");
}
