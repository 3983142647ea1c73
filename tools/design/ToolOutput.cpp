#include "tools/design/ToolOutput.h"

#include <SDL.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/CAtomicFile.h"
#include "engine/CDraw.h"
#include "platform/Platform.h"

namespace {

const int kInterrupts[] = {SIGINT, SIGTERM};

void EndNow(int signal) { _exit(128 + signal); }

// Holds Ctrl+C and SIGTERM back while it lives: one that comes meanwhile
// ends the tool as soon as it is gone.
class CInterruptsHeld {
public:
    CInterruptsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (int s : kInterrupts) sigaddset(&held, s);
        sigprocmask(SIG_BLOCK, &held, &before_);
    }
    ~CInterruptsHeld() { sigprocmask(SIG_SETMASK, &before_, nullptr); }

private:
    sigset_t before_;
};

cairo_status_t WriteToStream(void* closure, const unsigned char* data, unsigned int length) {
    return fwrite(data, 1, length, static_cast<FILE*>(closure)) == length ? CAIRO_STATUS_SUCCESS
                                                                          : CAIRO_STATUS_WRITE_ERROR;
}

// Runs a file's writer. The reason a failed write gives is the errno it
// leaves: one left by an earlier call must not pass for it.
bool Wrote(const std::function<bool(FILE*)>& write, FILE* f) {
    errno = 0;
    return write(f);
}

// "cannot write PATH: REASON", the reason the errno's text.
std::string CannotWrite(const std::string& path, int error) {
    return "cannot write " + path + ": " + strerror(error ? error : EIO);
}

}  // namespace

void EndToolOnInterrupt() {
    // Installed before the headless world starts SDL, which then leaves
    // them in place (it takes only signals nobody handles, for a quit event
    // no tool reads).
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = EndNow;
    sigemptyset(&action.sa_mask);
    for (int s : kInterrupts) sigaction(s, &action, nullptr);
}

bool CheckOutputPath(const std::string& path, std::string* error) {
    std::string target;
    if (!PlatformFollowLinks(path, &target)) {
        *error = CannotWrite(path, ELOOP);
        return false;
    }
    struct stat st;
    if (stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        *error = "cannot write " + path + (S_ISDIR(st.st_mode) ? ": it is a folder" : ": it is no file");
        return false;
    }
    // A new file in its folder, at once removed, says whether the folder
    // takes one, as the temporary file must be written there.
    const size_t slash = target.rfind('/');
    std::string probe = (slash == std::string::npos ? std::string(".") : target.substr(0, slash)) + "/.zorv-XXXXXX";
    std::vector<char> name(probe.begin(), probe.end());
    name.push_back('\0');
    CInterruptsHeld held;
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        *error = CannotWrite(path, errno);
        return false;
    }
    close(fd);
    unlink(name.data());
    return true;
}

bool WriteOutput(const std::string& path, const std::function<bool(FILE*)>& write, std::string* error) {
    CInterruptsHeld held;
    CAtomicFile file(path);
    FILE* f = file.Open();
    if (f && !Wrote(write, f)) file.MarkFailed();
    if (f && file.Commit()) return true;
    *error = CannotWrite(path, file.Error());
    return false;
}

bool WriteOutputs(const std::vector<OutputFile>& files, std::string* error) {
    // A path that cannot take its file (a folder there) would fail only at
    // its rename, after earlier files of the set were replaced.
    for (const OutputFile& o : files)
        if (!CheckOutputPath(o.path, error)) return false;
    CInterruptsHeld held;
    // Every file whole beside its target first; any temporary file left when
    // one fails goes with its writer.
    std::vector<std::unique_ptr<CAtomicFile>> written;
    for (const OutputFile& o : files) {
        written.emplace_back(new CAtomicFile(o.path));
        CAtomicFile& file = *written.back();
        FILE* f = file.Open();
        if (f && !Wrote(o.write, f)) file.MarkFailed();
        if (!f || !file.Finish()) {
            *error = CannotWrite(o.path, file.Error());
            return false;
        }
    }
    for (const std::unique_ptr<CAtomicFile>& file : written) {
        if (!file->Commit()) {
            *error = CannotWrite(file->Path(), file->Error());
            return false;
        }
    }
    return true;
}

bool WritePngOutput(cairo_surface_t* surface, const std::string& path, std::string* error) {
    return WriteOutput(
        path,
        [surface](FILE* f) { return cairo_surface_write_to_png_stream(surface, WriteToStream, f) == CAIRO_STATUS_SUCCESS; },
        error);
}

bool WriteScreenOutput(const std::string& path, std::string* error) {
    SDL_Surface* screen = CDraw::GetScreen();
    return WriteOutput(
        path,
        [screen](FILE* f) {
            SDL_RWops* rw = screen ? SDL_RWFromFP(f, 0) : nullptr;
            // SDL tells a failed save by an error text set meanwhile.
            SDL_ClearError();
            return rw && SDL_SaveBMP_RW(screen, rw, 1) == 0;
        },
        error);
}
