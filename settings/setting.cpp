#include "settings/setting.h"

#include "settings/parameters.h"

namespace nimbrel {
namespace {

const char* const Tag_word = "Screensaver";

bool contains(const std::string& s, const char* part) {
    return s.find(part) != std::string::npos;
}

// The tag line as this program and the editor write it: the tag word comes first.
bool is_tag_line(const std::string& line) {
    const auto words = split_tokens(line);
    return !words.empty() && words[0] == Tag_word;
}

// How older editors may have spelt the tag line: the word anywhere, with TRUE or FALSE. A
// parameter line is never one, even when it names a palette file called after the word.
bool is_older_tag_line(const std::string& line) {
    if (!contains(line, Tag_word) || !(contains(line, "TRUE") || contains(line, "FALSE")))
        return false;
    const auto words = split_tokens(line);
    return words.empty() || !find_param(words[0]);
}

// The line that holds the tag, 0 when there is none.
std::size_t tag_line_index(const std::vector<std::string>& lines) {
    for (auto* rule : {is_tag_line, is_older_tag_line})
        for (std::size_t i = 1; i < lines.size(); ++i)
            if (rule(lines[i])) return i;
    return 0;
}

} // namespace

std::string parameter_line(const std::string& name, const std::string& value) {
    constexpr std::size_t Name_width = 20;
    const std::size_t pad = name.size() < Name_width ? Name_width - name.size() : 0;
    return std::string(pad, ' ') + name + '\t' + value;
}

std::string tag_line(bool tagged) {
    return parameter_line(Tag_word, tagged ? "TRUE" : "FALSE");
}

bool holds_tag(const std::string& line) {
    return is_tag_line(line) || is_older_tag_line(line);
}

bool Nimbrel_setting::Read_from(Line_reader& in) {
    Lines.clear();
    std::string line = in.Read_line();
    if (line.empty() || line[0] != '{') return false;
    line[0] = ' ';
    // An empty name is kept as an empty line 0, so no parameter line is ever taken for the name
    // (and lost from the block when it is written back).
    Lines.push_back(trimmed(line));
    for (;;) {
        if (in.at_end()) return false; // not closed: a cut-off file
        line = in.Read_line();
        if (line.empty()) continue;
        if (line[0] == '}') return true;
        Lines.push_back(line);
    }
}

void Nimbrel_setting::Write_to(Bytes& out) const {
    // "{ " and the name, except for a name that fills a whole line after the brace: the space
    // would push its last character onto a line of its own, read back as a parameter line.
    const std::string name = Get_name();
    Write_line(out, (name.size() + 2 > Max_line_length ? "{" : "{ ") + name);
    for (std::size_t i = 1; i < Lines.size(); ++i)
        Write_line(out, Lines[i]);
    Write_line(out, "}");
}

bool Nimbrel_setting::Is_tagged() const {
    const std::size_t i = tag_line_index(Lines);
    if (i == 0) return false;
    if (!is_tag_line(Lines[i])) return contains(Lines[i], "TRUE");
    const auto words = split_tokens(Lines[i]);
    return words.size() > 1 && words[1] == "TRUE"; // as the parameter itself is read
}

void Nimbrel_setting::Set_tag(bool tagged) {
    if (Lines.empty()) Lines.emplace_back();
    if (const std::size_t i = tag_line_index(Lines))
        Lines[i] = tag_line(tagged);
    else
        Lines.push_back(tag_line(tagged));
}

} // namespace nimbrel
