// Reading the lists of picture names (one name a line, kept byte for byte:
// one pack name contains blanks). A line starting with '?' is a pattern of
// names the game forms at run time; the level background pattern stands for
// background0.jpg .. background7.jpg (the editor offers eight), other
// patterns are not names and are skipped.
#pragma once

#include <string>
#include <vector>

// The names in file order without repeats; false with a message on stderr
// when the file cannot be read.
bool ReadImageNameList(const std::string& path, std::vector<std::string>& names);
// The same for text already in memory.
void ParseImageNameList(const std::string& text, std::vector<std::string>& names);
