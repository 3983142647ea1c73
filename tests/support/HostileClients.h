// Clients that misbehave towards a server on this machine, each from a
// loopback address of its choice (127.0.0.0/8 is all this machine's, so one
// test can stand for many addresses): connections that say nothing, ones
// that send their request a byte at a time, a crowd that opens a new one as
// soon as one is closed, requests with a flood of headers, and many ordinary
// requests opened at once; and one ordinary request from an address. Every loop is bounded
// in count and time; no test's verdict is a time taken, save where the
// server promises one.
#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

// Raises this process's soft limit of open files to its hard limit; true
// when at least files may be open.
bool AllowOpenFiles(size_t files);

// Connections held open on a server until destroyed.
class CHeldConnections {
public:
    enum class Kind {
        kIdle,      // connects and sends nothing
        kDripping,  // sends the start of a request, then one byte per interval
    };
    // Opens count connections to port on 127.0.0.1 from address; gives up on
    // one that is not connected within a few seconds.
    CHeldConnections(const std::string& address, int port, int count, Kind kind, int dripMilliseconds = 1000);
    ~CHeldConnections();
    CHeldConnections(const CHeldConnections&) = delete;
    CHeldConnections& operator=(const CHeldConnections&) = delete;

    // Connections that were made.
    int Opened() const { return static_cast<int>(sockets_.size()); }
    // Of those, the ones the server has not closed (nor answered).
    int HeldByServer() const;

private:
    void Drip(int milliseconds);

    std::vector<int> sockets_;
    std::atomic<bool> stop_{false};
    std::thread dripper_;
};

// Idle connections from addresses 127.0.<group>.1 onwards, perAddress from
// each, every one opened again as soon as the server closes it, until
// destroyed.
class CCrowd {
public:
    CCrowd(int group, int addresses, int perAddress, int port);
    ~CCrowd();
    CCrowd(const CCrowd&) = delete;
    CCrowd& operator=(const CCrowd&) = delete;

    // Connections opened so far, the first ones included.
    long Opened() const { return opened_; }

private:
    void Keep();

    int group_, addresses_, perAddress_, port_;
    std::atomic<long> opened_{0};
    std::atomic<bool> stop_{false};
    std::thread keeper_;
};

// One GET of target from address, as a plain client sends it: the whole
// answer (status line, headers, body), or "" when the server closed the
// connection without one or none came within boundSeconds.
std::string AskFrom(const std::string& address, int port, const std::string& target, double boundSeconds);
// AskFrom for a request written out whole (its line, headers and blank line).
std::string SendFrom(const std::string& address, int port, const std::string& request, double boundSeconds);

// requests GETs of target, each with headers short header lines, sent side
// by side from address: the status line of each answer ("" when the server
// closed the connection without one).
std::vector<std::string> FloodHeaders(const std::string& address, int port, int requests, int headers,
                                      const std::string& target);

// count connections opened at once, each from an address of its own
// (127.0.1.1, 127.0.1.2, ...), each sending one GET of target as soon as it
// is connected: the seconds from its connect to the end of its answer, or
// -1 for one that got no whole answer within the bound.
std::vector<double> AskAtOnce(int port, int count, const std::string& target, double boundSeconds);
