#include "settings/ini_bag.h"

#include "settings/ini_text.h"
#include "settings/text_lines.h"

namespace nimbrel {
namespace {

constexpr std::size_t Max_value_length = 255;

void check_key(const std::string& key) {
    if (key.empty()) throw EBagError("No item specified");
}

} // namespace

void TBag::Set_ini_file(const std::string& path, const std::string& exe_folder) {
    const bool has_folder = path.find_first_of("\\/:") != std::string::npos;
    IniFile = has_folder ? path : exe_folder + path;
}

void TBag::check_file() const {
    if (IniFile.empty()) throw EBagError("No INI file specified");
    if (IniSect.empty()) throw EBagError("No INI file section specified");
}

void TBag::Load() {
    check_file();
    Bytes text;
    if (read_file(IniFile, text)) Load_text(text);
}

void TBag::Load_text(const Bytes& text) {
    for (const auto& [key, value] : read_ini_section(text, IniSect))
        if (!key.empty()) Put(key, value.substr(0, Max_value_length));
}

bool TBag::Save(std::string* error) const {
    check_file();
    Bytes text;
    read_file(IniFile, text); // a missing file is created
    Ini_entries entries;
    for (std::size_t i = 0; i < keys_.size(); ++i)
        entries.emplace_back(keys_[i], values_[i]);
    return write_file_atomically(IniFile, write_ini_section(text, IniSect, entries), error);
}

int TBag::find(const std::string& key) const {
    for (std::size_t i = 0; i < keys_.size(); ++i)
        if (equal_ignoring_case(keys_[i], key)) return static_cast<int>(i);
    return -1;
}

std::string TBag::Get(const std::string& key) const {
    check_key(key);
    const int i = find(key);
    return i < 0 ? std::string() : values_[static_cast<std::size_t>(i)];
}

void TBag::Put(const std::string& key, const std::string& value) {
    check_key(key);
    const int i = find(key);
    if (i >= 0) {
        values_[static_cast<std::size_t>(i)] = value;
        return;
    }
    keys_.push_back(upper_case(key));
    values_.push_back(value);
}

bool TBag::Read_bool(const std::string& key, bool def) const {
    const std::string v = Get(key);
    return v.empty() ? def : v == "1";
}

std::int32_t TBag::Read_integer(const std::string& key, std::int32_t def) const {
    return parse_int32(Get(key)).value_or(def);
}

std::string TBag::Read_string(const std::string& key, const std::string& def) const {
    const std::string v = Get(key);
    return v.empty() ? def : v;
}

} // namespace nimbrel
