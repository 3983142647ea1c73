#include "tools/design/CLevelTool.h"

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

bool CLevelTool::StartWorld(std::string* error) { return CHeadlessWorld::Start(PlatformExecutableDir(), error); }

int CLevelTool::Refuse(const std::string& reason) const { return RefuseInOneLine(name_, reason); }
