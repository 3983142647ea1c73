// A text entry (a PNG "tEXt" chunk) in a PNG file: how a tool marks the
// pictures it writes, so that it can tell them later from files it never
// wrote.
#pragma once

#include <string>
#include <vector>

// The PNG with a text entry keyword = text placed right after its header
// chunk; a PNG too short to hold that chunk comes back as it was.
std::vector<unsigned char> WithPngText(const std::vector<unsigned char>& png, const std::string& keyword,
                                       const std::string& text);
// True when the file at path is a PNG (opened as every file the game reads:
// a regular file, a link followed to one) with that text entry before its
// picture data; only its first chunks are read. A caller that leaves links
// alone looks at the path with lstat first, as the contact sheet does.
bool FileHasPngText(const std::string& path, const std::string& keyword, const std::string& text);
