#include "tools/design/CToolOptions.h"

#include <cstdio>

#include "engine/ReadNumber.h"
#include "tools/design/ToolRefusal.h"

CToolOptions::CToolOptions(const char* tool, const char* usage) : tool_(tool), usage_(usage) {}

CToolOptions::Option& CToolOptions::Add(const char* name, Kind kind, const char* needs) {
    Option o;
    o.name = name;
    o.kind = kind;
    o.needs = needs ? needs : "";
    options_.push_back(o);
    return options_.back();
}

void CToolOptions::Flag(const char* name, bool* on) { Add(name, FLAG, nullptr).on = on; }

void CToolOptions::Text(const char* name, const char* needs, std::string* value) {
    Add(name, TEXT, needs).text = value;
}

void CToolOptions::Integer(const char* name, long low, long high, const char* needs, long* value) {
    Option& o = Add(name, INTEGER, needs);
    o.integer = value;
    o.low = low;
    o.high = high;
}

void CToolOptions::Real(const char* name, double low, double high, const char* needs, double* value) {
    Option& o = Add(name, REAL, needs);
    o.real = value;
    o.realLow = low;
    o.realHigh = high;
}

void CToolOptions::Parsed(const char* name, const char* needs, Parser parse) {
    Add(name, PARSED, needs).parse = std::move(parse);
}

void CToolOptions::Plain(const char* what, std::string* value) {
    plainWhat_ = what;
    plain_ = value;
}

bool CToolOptions::Given(const char* name) const {
    for (const Option& o : options_)
        if (o.name == name) return o.given;
    return false;
}

bool CToolOptions::Refuse(const std::string& reason) {
    code_ = RefuseInOneLine(tool_, reason);
    return false;
}

bool CToolOptions::Take(Option& o, int argc, char** argv, int* i) {
    // Which of two values was meant cannot be known.
    if (o.given) return Refuse(o.name + " given twice");
    o.given = true;
    if (o.kind == FLAG) {
        *o.on = true;
        return true;
    }
    const std::string needs = o.name + " needs " + o.needs;
    if (*i + 1 >= argc || !*argv[*i + 1]) return Refuse(needs);
    const std::string value = argv[++*i];
    std::string why;
    switch (o.kind) {
    case TEXT: *o.text = value; return true;
    case INTEGER: return ReadNumber(value, o.low, o.high, o.integer) || Refuse(needs);
    case REAL: return ReadNumber(value, o.realLow, o.realHigh, o.real) || Refuse(needs);
    case PARSED: return o.parse(value, &why) || Refuse(why.empty() ? needs : needs + ": " + why);
    case FLAG: break;
    }
    return true;
}

bool CToolOptions::Read(int argc, char** argv) {
    code_ = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            fputs(usage_, stdout);
            return false;
        }
        Option* option = nullptr;
        for (Option& o : options_)
            if (o.name == a) option = &o;
        if (option) {
            if (!Take(*option, argc, argv, &i)) return false;
        } else if (!a.empty() && a[0] == '-') {
            return Refuse("unknown option " + a + " (see --help)");
        } else if (!plain_) {
            return Refuse("unexpected argument " + a + " (see --help)");
        } else if (plain_->empty()) {
            *plain_ = a;
        } else {
            return Refuse(std::string("one ") + (plainWhat_ ? plainWhat_ : "argument") + " only (see --help)");
        }
    }
    return true;
}
