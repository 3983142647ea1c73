#include "server/CServerOptions.h"

#include "tools/design/CToolOptions.h"
#include "tools/design/ToolRefusal.h"

namespace {

// A path of the address: starts with a slash, printable, nothing that would
// end the path or need escaping (false, with what is wrong in *why). It
// names the folder of the script, so the final slash is added when missing,
// as a host may well leave it out.
bool ReadPath(const std::string& text, std::string* path, std::string* why) {
    if (text.empty() || text[0] != '/') return false;
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '?' || c == '#') {
            *why = std::string("'") + c + "' would end the path, so the score script could never be reached";
            return false;
        }
        if (u <= 0x20 || u >= 0x7F || c == '%' || c == '\\') {
            *why = (c == ' '                 ? std::string("a space")
                    : u < 0x20 || u >= 0x7F ? std::string("a control character or one beyond ASCII")
                                             : std::string("'") + c + "'") +
                   " cannot stand in an address as it is";
            return false;
        }
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
           "boards, answering GET <path>zjscores.php as the game asks (a browser\n"
           "at its address or its path gets a page that says so).\n"
           "\n"
           "  --db FILE        the score database (SQLite), created when missing\n"
           "  --port N         the TCP port (default 8080; 0 takes any free port,\n"
           "                   named on the start-up line)\n"
           "  --bind ADDRESS   the address to listen on (default 127.0.0.1: only\n"
           "                   this machine; 0.0.0.0 opens it to the network)\n"
           "  --path /zorv/    the path the game's address ends in (default /zorv/;\n"
           "                   the last slash is added when missing)\n"
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
           "Ctrl+C, SIGTERM or SIGHUP (its terminal gone) stops it cleanly, with\n"
           "the database closed.\n"
           "\n"
           "Exit codes: 0 stopped cleanly (also when stopped while the start still\n"
           "checks the database); 1 the database or the port could not be used;\n"
           "2 bad options.\n";
}

bool CServerOptions::Read(int argc, char** argv) {
    CToolOptions reader(kProgram, Usage());
    reader.Text("--db", "a file name", &db);
    reader.Integer("--port", 0, 65535, "a number from 0 to 65535", &port);
    reader.Text("--bind", "an address (127.0.0.1, 0.0.0.0, ::1, a host name)", &bind);
    reader.Parsed("--path", "a path that starts with / (like /zorv/)",
                  [this](const std::string& text, std::string* why) { return ReadPath(text, &path, why); });
    const std::string rate =
        "N,M (N at once, then M a minute; each 1 to " + std::to_string(CAddressBudget::kRateMax) + ") or off";
    reader.Parsed("--registrations", rate.c_str(),
                  [this](const std::string& text, std::string*) { return CAddressBudget::ReadRate(text, &registrations); });
    reader.Parsed("--uploads", rate.c_str(),
                  [this](const std::string& text, std::string*) { return CAddressBudget::ReadRate(text, &uploads); });
    if (!reader.Read(argc, argv)) {
        code_ = reader.ExitCode();
        return false;
    }
    if (db.empty()) {
        code_ = RefuseInOneLine(kProgram, "no database given: --db FILE (see --help)");
        return false;
    }
    return true;
}
