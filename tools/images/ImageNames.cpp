#include "images/ImageNames.h"

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

void ParseImageNameList(const std::string& text, std::vector<std::string>& names) {
    names.clear();
    std::set<std::string> seen;
    auto add = [&](const std::string& name) {
        if (seen.insert(name).second) names.push_back(name);
    };
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line[0] == '?') {
            if (line == "?background%i.jpg")
                for (int i = 0; i < 8; ++i) add("background" + std::to_string(i) + ".jpg");
            continue;
        }
        add(line);
    }
}

bool ReadImageNameList(const std::string& path, std::vector<std::string>& names) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        fprintf(stderr, "cannot read the name list %s\n", path.c_str());
        return false;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    ParseImageNameList(ss.str(), names);
    return true;
}
