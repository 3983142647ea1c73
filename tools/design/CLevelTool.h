// One run of a level-design tool once its command line is read: the tool's
// log (the game's own lines on standard error, ToolLog.h), its
// end on Ctrl+C and SIGTERM (ToolOutput.h), its headless world, and its
// refusals. The world is taken down on every way out
// of the tool, a refusal as much as a finished run: a tool keeps one of
// these for the whole of main, declared before anything that lives in the
// world.
#pragma once

#include <string>

class CLevelTool {
public:
    // Starts the tool's log (StartToolLog) and ends the tool on Ctrl+C and
    // SIGTERM (EndToolOnInterrupt).
    explicit CLevelTool(const char* name);
    ~CLevelTool();
    CLevelTool(const CLevelTool&) = delete;
    CLevelTool& operator=(const CLevelTool&) = delete;

    // Starts the headless world from the run folder, where the tool lies (it
    // becomes the working folder: paths given on the command line are made
    // absolute before). False with the reason.
    bool StartWorld(std::string* error);
    // One line "<tool>: <reason>" on standard error; gives 2 (ToolRefusal.h).
    int Refuse(const std::string& reason) const;

private:
    const char* name_;
};
