// zorv_scored's command line: where the database lives, where the server
// listens and what one client address may write. Read strictly: an option the server does not know, one given
// twice, or a value it cannot use is refused with the reason in one line.
#pragma once

#include <string>

#include "server/CAddressBudget.h"

class CServerOptions {
public:
    std::string db;                  // the score database (required)
    int port = 8080;                 // 0: any free port (the start-up line names it)
    std::string bind = "127.0.0.1";  // loopback unless the host opens it
    std::string path = "/zorv/";     // the folder of zjscores.php, with both slashes
    // What one client address may write.
    CAddressBudget::Rate registrations = CAddressBudget::kRegistrationsDefault;
    CAddressBudget::Rate uploads = CAddressBudget::kUploadsDefault;
    bool help = false;

    // False with the reason (without the program's name) in *refusal.
    bool Read(int argc, char** argv, std::string* refusal);

    static const char* Usage();
};
