// How the level-design tools and the score server read their command lines.
// Each program names its options once, with what each takes; options and the
// one plain argument (the level, or the set) come in any order, each at most
// once; "--help" (or "-h") prints the usage. What cannot be read is refused as
// every refusal of the tools is (ToolRefusal.h): one line "<tool>: <reason>"
// on standard error, exit code 2. Numbers are read by ReadNumber.
#pragma once

#include <functional>
#include <string>
#include <vector>

class CToolOptions {
public:
    // A parser of an option's text: false with what is wrong in *why.
    using Parser = std::function<bool(const std::string& text, std::string* why)>;

    CToolOptions(const char* tool, const char* usage);

    // "--name" alone sets *on.
    void Flag(const char* name, bool* on);
    // "--name TEXT": any text but an empty one. needs completes the refusal
    // "--name needs <needs>" ("a file name").
    void Text(const char* name, const char* needs, std::string* value);
    // "--name N", a whole number from low to high.
    void Integer(const char* name, long low, long high, const char* needs, long* value);
    // "--name X", a number from low to high.
    void Real(const char* name, double low, double high, const char* needs, double* value);
    // "--name TEXT" read by its own parser; its reason, if it gives one,
    // follows the refusal.
    void Parsed(const char* name, const char* needs, Parser parse);
    // The plain argument; a second is refused as "one <what> only". Without
    // one, every plain argument is refused as unexpected.
    void Plain(const char* what, std::string* value);

    // Reads the command line. False when the tool is to end at once with
    // ExitCode(): 0 after the usage, 2 after a refusal (already printed).
    bool Read(int argc, char** argv);
    int ExitCode() const { return code_; }
    // Whether the option was on the command line.
    bool Given(const char* name) const;

private:
    enum Kind { FLAG, TEXT, INTEGER, REAL, PARSED };
    struct Option {
        std::string name;
        Kind kind = FLAG;
        std::string needs;
        bool* on = nullptr;
        std::string* text = nullptr;
        long* integer = nullptr;
        double* real = nullptr;
        long low = 0, high = 0;
        double realLow = 0, realHigh = 0;
        Parser parse;
        bool given = false;
    };
    Option& Add(const char* name, Kind kind, const char* needs);
    // Takes the option's value from argv[*i + 1] (an empty one is no value).
    bool Take(Option& option, int argc, char** argv, int* i);
    bool Refuse(const std::string& reason);

    const char* tool_;
    const char* usage_;
    std::vector<Option> options_;
    const char* plainWhat_ = nullptr;
    std::string* plain_ = nullptr;
    int code_ = 0;
};
