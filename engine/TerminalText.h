// Text that the system named (a path, an option, a line of a file) written
// onto a terminal as what it is. Shared by the game, its tools and the score
// server (which links nothing else of the game): a library of its own.
#pragma once

#include <string>

// text with its control characters written out ("\r", "\n", "\t", "\x1b"),
// and every byte that is no part of UTF-8 ("\xff"): a line that echoes a
// path or an input on a terminal shows what is really there, on one line,
// and sends the terminal nothing it would act on.
std::string EscapeControls(const std::string& text);
