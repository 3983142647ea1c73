#include "images/CArtRegistry.h"

#include <cstdio>

void CArtRegistry::Add(const std::string& name, int width, int height, DrawFn draw) {
    if (arts_.count(name)) {
        fprintf(stderr, "picture registered twice: %s\n", name.c_str());
        ++duplicates_;
        return;
    }
    arts_[name] = Art{name, width, height, std::move(draw)};
}

const CArtRegistry::Art* CArtRegistry::Find(const std::string& name) const {
    auto it = arts_.find(name);
    return it == arts_.end() ? nullptr : &it->second;
}
