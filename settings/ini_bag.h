// TBag: one section of an INI file held in memory as key/value pairs.
#pragma once

#include "settings/file_io.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace nimbrel {

class EBagError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TBag {
  public:
    std::string IniFile;
    std::string IniSect;

    // A bare file name is taken from the executable's folder.
    void Set_ini_file(const std::string& path, const std::string& exe_folder = executable_folder());

    // Adds every key=value line of the section (values cut to 255 characters). A missing file or
    // section adds nothing. Throws EBagError without IniFile or IniSect.
    void Load();
    // What Load does with the file's text once read.
    void Load_text(const Bytes& text);
    // Writes every held key into the section; other keys and sections stay as they are. Throws
    // EBagError without IniFile or IniSect; false (with a reason) when the file cannot be
    // written, which leaves it as it was.
    bool Save(std::string* error = nullptr) const;

    // Keys are held in capitals and matched without regard to case; an empty key throws.
    std::string Get(const std::string& key) const;
    void Put(const std::string& key, const std::string& value);
    int Count() const { return static_cast<int>(keys_.size()); }
    const std::vector<std::string>& Keys() const { return keys_; }

    // Each reads the default when the value is empty.
    bool Read_bool(const std::string& key, bool def) const; // true only for "1"
    std::int32_t Read_integer(const std::string& key,
                              std::int32_t def) const; // also when not a number
    std::string Read_string(const std::string& key, const std::string& def) const;
    void Write_bool(const std::string& key, bool value) { Put(key, value ? "1" : "0"); }
    void Write_integer(const std::string& key, std::int32_t value) {
        Put(key, std::to_string(value));
    }
    void Write_string(const std::string& key, const std::string& value) { Put(key, value); }

  private:
    void check_file() const;
    int find(const std::string& key) const;

    std::vector<std::string> keys_;
    std::vector<std::string> values_;
};

} // namespace nimbrel
