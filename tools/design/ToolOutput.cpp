#include "tools/design/ToolOutput.h"

#include <SDL.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "engine/CAtomicFile.h"
#include "engine/CDraw.h"

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

// The file a path leads to: through every symbolic link (one to a file not
// there yet too), so that the file is written where the link points and the
// link stays. False for a path that goes round in links.
bool FollowLinks(const std::string& path, std::string* target) {
    *target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(target->c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        std::vector<char> buffer(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = readlink(target->c_str(), buffer.data(), buffer.size());
        if (n < 0 || static_cast<size_t>(n) >= buffer.size()) return false;
        const std::string link(buffer.data(), static_cast<size_t>(n));
        const size_t slash = target->rfind('/');
        *target = link[0] == '/' || slash == std::string::npos ? link : target->substr(0, slash + 1) + link;
    }
    return false;
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
    const std::string cannot = "cannot write " + path + ": ";
    std::string target;
    if (!FollowLinks(path, &target)) {
        *error = cannot + strerror(ELOOP);
        return false;
    }
    struct stat st;
    if (stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        *error = cannot + (S_ISDIR(st.st_mode) ? "it is a folder" : "it is no file");
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
        *error = cannot + strerror(errno);
        return false;
    }
    close(fd);
    unlink(name.data());
    return true;
}

bool WriteOutput(const std::string& path, const std::function<bool(FILE*)>& write, std::string* error) {
    CInterruptsHeld held;
    std::string target;
    CAtomicFile file(FollowLinks(path, &target) ? target : path);
    FILE* f = file.Open();
    if (f && !write(f)) file.MarkFailed();
    if (f && file.Commit()) return true;
    *error = "cannot write " + path;
    return false;
}

bool WriteOutputs(const std::vector<OutputFile>& files, std::string* error) {
    // A path that cannot take its file (a folder there) would fail only at
    // its rename, after earlier files of the set were replaced.
    for (const OutputFile& o : files)
        if (!CheckOutputPath(o.path, error)) return false;
    CInterruptsHeld held;
    std::vector<std::string> written;  // the temporary files
    bool ok = true;
    std::vector<std::string> targets;
    for (const OutputFile& o : files) {
        targets.emplace_back();
        if (!FollowLinks(o.path, &targets.back())) targets.back() = o.path;
        const std::string temp = targets.back() + CAtomicFile::kTempSuffix;
        // Unlinked first, as CAtomicFile does: a link in its place decides
        // nothing.
        unlink(temp.c_str());
        FILE* f = fopen(temp.c_str(), "wb");
        if (f) written.push_back(temp);
        ok = f && o.write(f) && !ferror(f);
        ok = f && fflush(f) == 0 && ok;
        ok = f && fsync(fileno(f)) == 0 && ok;
        ok = f && fclose(f) == 0 && ok;
        if (!ok) {
            *error = "cannot write " + o.path;
            break;
        }
    }
    for (size_t i = 0; ok && i < files.size(); ++i) {
        ok = rename(written[i].c_str(), targets[i].c_str()) == 0;
        if (!ok) *error = "cannot write " + files[i].path;
    }
    if (!ok)
        for (const std::string& temp : written) unlink(temp.c_str());
    return ok;
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
