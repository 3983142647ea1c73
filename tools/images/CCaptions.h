// The words baked into pictures (button labels, titles, story texts), kept in
// a UTF-8 text source beside the string table so that wording lives in text
// files, not in drawing code. Lines: "key|text", "#" comments, blank lines
// ignored; "\n" in a text is a line break.
#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>

class CCaptions {
public:
    // The one table the drawing functions read.
    static CCaptions& Shared();

    // Reads the source file; false (with a message on stderr) when it cannot
    // be read or a line is malformed or a key repeats.
    bool Load(const std::string& path);
    // Parses text in the format above; same checks as Load.
    bool Parse(const std::string& text, const std::string& sourceName);
    // The text of key. A missing key gives the key itself and is remembered,
    // so the build can fail naming every missing caption.
    std::string Get(const std::string& key) const;
    bool Has(const std::string& key) const;
    std::set<std::string> Missing() const;
    size_t Count() const { return texts_.size(); }
    void Clear();

private:
    std::map<std::string, std::string> texts_;
    mutable std::mutex mutex_;
    mutable std::set<std::string> missing_;
};
