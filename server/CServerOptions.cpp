#include "server/CServerOptions.h"

#include <set>

namespace {

// Decimal digits only, 0 to 65535.
bool ReadPort(const std::string& text, int* port) {
    if (text.empty() || text.size() > 5) return false;
    long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value > 65535) return false;
    *port = static_cast<int>(value);
    return true;
}

// A path of the address: starts with a slash, printable, nothing that would
// end the path or need escaping. The final slash is added when missing.
bool ReadPath(const std::string& text, std::string* path) {
    if (text.empty() || text[0] != '/') return false;
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F || c == '?' || c == '#' || c == '%' || c == '\\') return false;
    }
    *path = text.back() == '/' ? text : text + "/";
    return true;
}

}  // namespace

const char* CServerOptions::Usage() {
    return "Usage: zorv_scored --db FILE [--port N] [--bind ADDRESS] [--path /zorv/]\n"
           "                   [--registrations N,M] [--uploads N,M]\n"
           "The score server of ZORV: registers players' score-board names, keeps\n"
           "their best step counts per level and per level set, and sends the\n"
           "boards, answering GET <path>zjscores.php as the game asks.\n"
           "\n"
           "  --db FILE        the score database (SQLite), created when missing\n"
           "  --port N         the TCP port (default 8080; 0 takes any free port,\n"
           "                   named on the start-up line)\n"
           "  --bind ADDRESS   the address to listen on (default 127.0.0.1: only\n"
           "                   this machine; 0.0.0.0 opens it to the network)\n"
           "  --path /zorv/    the path the game's address ends in (default /zorv/)\n"
           "  --registrations N,M\n"
           "                   one client address may register N names at once,\n"
           "                   then M more a minute (default 100,6); off: no bound\n"
           "  --uploads N,M    one client address may send N scores at once, then\n"
           "                   M more a minute (default 300,300); off: no bound\n"
           "  --help           this text\n"
           "\n"
           "It speaks plain HTTP: to open it to the internet, put a reverse proxy\n"
           "with TLS in front of it. One line per request goes to standard error.\n"
           "A registration or an upload past its address's budget is answered 429\n"
           "with Retry-After, and stores nothing; downloads have no budget. Behind\n"
           "a proxy every request comes from the proxy's address.\n"
           "Ctrl+C or SIGTERM stops it cleanly, with the database closed.\n"
           "\n"
           "Exit codes: 0 stopped cleanly (also when stopped while the start still\n"
           "checks the database); 1 the database or the port could not be used;\n"
           "2 bad options.\n";
}

bool CServerOptions::Read(int argc, char** argv, std::string* refusal) {
    std::set<std::string> seen;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            help = true;
            continue;
        }
        if (a != "--db" && a != "--port" && a != "--bind" && a != "--path" && a != "--registrations" &&
            a != "--uploads") {
            *refusal = (a.size() > 1 && a[0] == '-' ? "unknown option " : "unexpected argument ") + a + " (see --help)";
            return false;
        }
        if (!seen.insert(a).second) {
            *refusal = a + " given twice";
            return false;
        }
        const std::string value = i + 1 < argc ? argv[++i] : "";
        if (a == "--db") {
            if (value.empty()) {
                *refusal = "--db needs a file name";
                return false;
            }
            db = value;
        } else if (a == "--port") {
            if (!ReadPort(value, &port)) {
                *refusal = "--port needs a number from 0 to 65535";
                return false;
            }
        } else if (a == "--bind") {
            if (value.empty()) {
                *refusal = "--bind needs an address (127.0.0.1, 0.0.0.0, ::1, a host name)";
                return false;
            }
            bind = value;
        } else if (a == "--registrations" || a == "--uploads") {
            if (!CAddressBudget::ReadRate(value, a == "--uploads" ? &uploads : &registrations)) {
                *refusal = a + " needs N,M (N at once, then M a minute; each 1 to " +
                           std::to_string(CAddressBudget::kRateMax) + ") or off";
                return false;
            }
        } else if (!ReadPath(value, &path)) {
            *refusal = "--path needs a path that starts with / (like /zorv/)";
            return false;
        }
    }
    if (!help && db.empty()) {
        *refusal = "no database given: --db FILE (see --help)";
        return false;
    }
    return true;
}
