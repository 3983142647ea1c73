// The files the level-design tools write (pictures, plots, sheets, levels,
// sources), and how a tool ends when it is told to stop.
//
// Every output path is checked before the work, so that a path that cannot
// be written costs no search and no run. Every file is written through a
// temporary file (CAtomicFile) renamed over it at the end: a write that fails
// (a full disk) leaves nothing behind and the earlier file as it was. A path
// that is a symbolic link writes the file the link leads to; the link stays.
// A file replaced keeps its permissions (a read-only one stays read-only).
//
// Ctrl+C and SIGTERM end a tool at once with exit code 130 or 143, the
// shell's codes for the two; one that arrives while a file is being written
// waits until the file is whole, so no file is left half-written.
#pragma once

#include <cairo.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// Installs the handlers of Ctrl+C and SIGTERM (CLevelTool does, first thing).
void EndToolOnInterrupt();

// False with the reason when path cannot be written: a folder, something
// other than a file (a device), or a folder that is missing or takes no new
// file.
bool CheckOutputPath(const std::string& path, std::string* error);

// Writes path through a temporary file: write gets its stream and says
// whether all went well. False with "cannot write <path>: <reason>", the
// reason the failed step's ("No space left on device").
bool WriteOutput(const std::string& path, const std::function<bool(FILE*)>& write, std::string* error);
// One file of a tool's output that is written together with others.
struct OutputFile {
    std::string path;
    std::function<bool(FILE*)> write;
};
// Writes every file through its temporary file, and puts them in place only
// once all were written: when one fails (a full disk), none replaces an
// earlier file. False with "cannot write <path>: <reason>" for the first that
// failed.
bool WriteOutputs(const std::vector<OutputFile>& files, std::string* error);
// A cairo surface as a PNG file.
bool WritePngOutput(cairo_surface_t* surface, const std::string& path, std::string* error);
// The display's screen as a BMP picture.
bool WriteScreenOutput(const std::string& path, std::string* error);
