#include "images/CCaptions.h"

#include <cstdio>
#include <fstream>
#include <sstream>

CCaptions& CCaptions::Shared() {
    static CCaptions captions;
    return captions;
}

bool CCaptions::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        fprintf(stderr, "cannot read the captions %s\n", path.c_str());
        return false;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    return Parse(ss.str(), path);
}

bool CCaptions::Parse(const std::string& text, const std::string& sourceName) {
    bool ok = true;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const size_t bar = line.find('|');
        if (bar == std::string::npos || bar == 0 || line.find('|', bar + 1) != std::string::npos) {
            fprintf(stderr, "%s:%d: a caption line is \"key|text\"\n", sourceName.c_str(), number);
            ok = false;
            continue;
        }
        const std::string key = line.substr(0, bar);
        std::string value;
        const std::string raw = line.substr(bar + 1);
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == 'n') {
                value += '\n';
                ++i;
            } else {
                value += raw[i];
            }
        }
        std::lock_guard<std::mutex> lock(mutex_);
        if (!texts_.emplace(key, value).second) {
            fprintf(stderr, "%s:%d: caption %s given twice\n", sourceName.c_str(), number, key.c_str());
            ok = false;
        }
    }
    return ok;
}

std::string CCaptions::Get(const std::string& key) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = texts_.find(key);
    if (it != texts_.end()) return it->second;
    missing_.insert(key);
    return key;
}

bool CCaptions::Has(const std::string& key) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_.count(key) != 0;
}

std::set<std::string> CCaptions::Missing() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return missing_;
}

void CCaptions::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    texts_.clear();
    missing_.clear();
}
