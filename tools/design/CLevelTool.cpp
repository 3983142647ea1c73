#include "tools/design/CLevelTool.h"

#include "engine/DataFolder.h"
#include "platform/Platform.h"
#include "tools/design/ToolLog.h"
#include "tools/design/ToolOutput.h"
#include "tools/design/ToolRefusal.h"
#include "world/CHeadlessWorld.h"

CLevelTool::CLevelTool(const char* name) : name_(name) {
    EndToolOnInterrupt();
    StartToolLog(name);
}

CLevelTool::~CLevelTool() { CHeadlessWorld::Stop(); }

// The resource files beside the tool (the run folder), or those of the
// installed game; the tool's own folder is named when neither is there.
bool CLevelTool::StartWorld(std::string* error) {
    const std::string programDir = PlatformExecutableDir();
    const std::string data = FindDataFolder(programDir);
    return CHeadlessWorld::Start(data.empty() ? programDir : data, error);
}

int CLevelTool::Refuse(const std::string& reason) const { return RefuseInOneLine(name_, reason); }
