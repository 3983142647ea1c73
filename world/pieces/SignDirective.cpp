#include "world/pieces/SignDirective.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

const char kDirective[] = "#zqdefine";

// Reads a decimal number at *p as strtol does, and moves past it; false,
// leaving *p, when there is none or it does not fit an int. Not ReadNumber's
// rules: the number is only the start of the text, and level files hold what
// this took.
bool ReadNumberAt(const char** p, int* value) {
    char* end = nullptr;
    errno = 0;
    const long v = strtol(*p, &end, 10);
    if (end == *p || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    *value = static_cast<int>(v);
    *p = end;
    return true;
}

}  // namespace

SignDirective ReadSignDirective(const char* text) {
    SignDirective d;
    if (!text || strncmp(text, kDirective, sizeof(kDirective) - 1) != 0) return d;
    d.marked = true;
    const char* p = text + sizeof(kDirective) - 1;
    if (!ReadNumberAt(&p, &d.body)) return d;
    d.parts = 1;
    if (p[0] != '-' || p[1] == '\0') return d;
    d.letter = p[1];
    d.parts = 2;
    p += 2;
    if (p[0] == '-') {
        ++p;
        if (ReadNumberAt(&p, &d.heading)) d.parts = 3;
    }
    return d;
}

std::string WriteSignDirective(int body, char letter, int heading) {
    return std::string(kDirective) + " " + std::to_string(body) + "-" + letter + "-" + std::to_string(heading) + "#";
}
