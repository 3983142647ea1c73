// zorv_scored's command line: where the database lives, where the server
// listens and what one client address may write. Read as the level tools
// read theirs (CToolOptions): an option the server does not know, one given
// twice, or a value it cannot use is refused with the reason in one line.
#pragma once

#include <string>

#include "server/CAddressBudget.h"

class CServerOptions {
public:
    std::string db;                  // the score database (required)
    long port = 8080;                // 0: any free port (the start-up line names it)
    std::string bind = "127.0.0.1";  // loopback unless the host opens it
    std::string path = "/zorv/";     // the folder of zjscores.php, with both slashes
    // What one client address may write.
    CAddressBudget::Rate registrations = CAddressBudget::kRegistrationsDefault;
    CAddressBudget::Rate uploads = CAddressBudget::kUploadsDefault;

    // Reads the command line. False when the server is to end at once with
    // ExitCode(): 0 after the usage (on standard output), 2 after a refusal
    // ("zorv_scored: <reason>" on standard error).
    bool Read(int argc, char** argv);
    int ExitCode() const { return code_; }

    static constexpr const char* kProgram = "zorv_scored";
    static const char* Usage();

private:
    int code_ = 0;
};
