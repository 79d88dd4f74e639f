#include "settings/settings_file.h"

#include "settings/options.h"
#include "settings/random.h"

namespace nimbrel {
namespace {

const char* const Crlf = "\r\n";
constexpr int Tagged_pick_tries = 5001;

// Hides the box however packing ends.
class Shown_box {
  public:
    explicit Shown_box(ProgressBox& box) : box_(box) {}
    ~Shown_box() { box_.Think_hide(); }
    Shown_box(const Shown_box&) = delete;
    Shown_box& operator=(const Shown_box&) = delete;

  private:
    ProgressBox& box_;
};

} // namespace

bool is_packed_settings_name(const std::string& path) {
    const auto separator = path.find_last_of("\\/:");
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return false;
    return path.compare(dot, std::string::npos, ".cmp") == 0;
}

Nimbrel_settings_file::Nimbrel_settings_file()
    : report_(current_options() ? current_options() : &discarded_), box_(Thinking_box()) {}

Nimbrel_settings_file::Nimbrel_settings_file(Startup_report& report, ProgressBox& box)
    : report_(&report), box_(box) {}

Nimbrel_settings_file::~Nimbrel_settings_file() {
    if (!modified_) return;
    try {
        if (!Save()) box_.Think_alert("Nimbrel could not save the settings file " + file_name_);
    } catch (...) {
        // Nothing may leave a destructor; the file on disk is still the old one.
    }
}

bool Nimbrel_settings_file::Load(const std::string& path, bool show_progress) {
    settings_.clear();
    file_name_ = path;
    modified_ = false;
    const bool packed = is_packed_settings_name(path);

    if (!file_exists(path)) {
        report_->add(err_no_settings_file,
                     "Nimbrel could not find the settings file " + path + Crlf + Crlf);
        return false;
    }

    if (show_progress && packed) box_.Think_show("Decompressing Nimbrel settings data");
    Bytes contents;
    if (!read_file(path, contents)) {
        report_->add(err_no_settings_file,
                     "Nimbrel could not read the settings file " + path + Crlf + Crlf);
        return true;
    }
    on_disk_ = contents;
    Load_contents(std::move(contents), packed);
    return true;
}

void Nimbrel_settings_file::Load_contents(Bytes contents, bool packed) {
    settings_.clear();
    modified_ = false;
    tag_changes_.clear();
    lzh_.Plain_stream.clear();
    lzh_.Packed_stream.clear();
    if (!packed) {
        lzh_.Plain_stream = std::move(contents);
    } else {
        lzh_.Packed_stream = std::move(contents);
        try {
            lzh_.Process(false);
        } catch (const ElzhException&) {
            lzh_.Plain_stream.clear();
            lzh_.Packed_stream.clear();
            report_->add(err_settings_corrupt,
                         std::string("The Nimbrel settings file appears to have been corrupted") +
                             Crlf + Crlf);
            return;
        }
    }
    parse();
}

void Nimbrel_settings_file::parse() {
    Line_reader in(lzh_.Plain_stream);
    for (;;) {
        Nimbrel_setting setting;
        if (!setting.Read_from(in)) {
            settings_.clear();
            report_->add(err_settings_corrupt,
                         std::string("The Nimbrel settings file appears to have been corrupted") +
                             Crlf + Crlf);
            break;
        }
        settings_.push_back(std::move(setting));
        if (in.at_end()) break;
    }
    lzh_.Plain_stream.clear();
}

int Nimbrel_settings_file::Random_index(bool tagged_only) const {
    const auto count = static_cast<std::uint32_t>(settings_.size());
    if (count == 0) return -1;
    if (tagged_only) {
        for (int attempt = 0; attempt < Tagged_pick_tries; ++attempt) {
            const auto i = random(count);
            if (settings_[i].Is_tagged()) return static_cast<int>(i);
        }
    }
    return static_cast<int>(random(count));
}

void Nimbrel_settings_file::Set_tag(int i, bool tagged) {
    if (i < 0 || i >= Count()) return;
    settings_[static_cast<std::size_t>(i)].Set_tag(tagged);
    tag_changes_.emplace_back(settings_[static_cast<std::size_t>(i)].Get_name(), tagged);
    modified_ = true;
}

bool Nimbrel_settings_file::Save(std::string* error) {
    // Contents handed over without a file (Load_contents) have nowhere to go back to.
    if (file_name_.empty()) {
        if (error) *error = "the settings were not loaded from a file";
        return false;
    }
    if (Bytes now; rewritten_elsewhere(now) && !adopt(now)) {
        if (error) *error = file_name_ + " was changed by another program and cannot be read";
        return false;
    }
    return Save_as(file_name_, error);
}

bool Nimbrel_settings_file::rewritten_elsewhere(Bytes& now) const {
    return !file_name_.empty() && read_file(file_name_, now) && now != on_disk_;
}

bool Nimbrel_settings_file::adopt(const Bytes& now) {
    Startup_report ignored;
    Nimbrel_settings_file newer(ignored, box_);
    newer.Load_contents(now, is_packed_settings_name(file_name_));
    if (newer.Count() == 0) return false;
    for (const auto& [name, tagged] : tag_changes_)
        for (auto& setting : newer.settings_)
            if (setting.Get_name() == name) setting.Set_tag(tagged);
    settings_.swap(newer.settings_);
    on_disk_ = now;
    return true;
}

bool Nimbrel_settings_file::Refresh() {
    Bytes now;
    if (!rewritten_elsewhere(now) || !adopt(now)) return false;
    // Just adopted: written as it is, without reading the file once more as Save would.
    if (modified_) Save_as(file_name_); // a failure stays Modified and is tried again at the end
    return true;
}

bool Nimbrel_settings_file::Save_as(const std::string& path, std::string* error) {
    Bytes& plain = lzh_.Plain_stream;
    plain.clear();
    for (const auto& setting : settings_)
        setting.Write_to(plain);

    Bytes contents;
    if (is_packed_settings_name(path)) {
        ProgressBar& bar = box_.Think_bar();
        lzh_.Progress_bar = &bar;
        bar.set_max(static_cast<int>(plain.size() / 1024));
        try {
            box_.Think_show_bar("Compressing Nimbrel settings data");
            Shown_box shown(box_);
            lzh_.Packed_stream.clear();
            lzh_.Process(true);
        } catch (const std::exception& e) {
            lzh_.Progress_bar = nullptr;
            if (error) *error = std::string("cannot pack the settings: ") + e.what();
            return false;
        }
        lzh_.Progress_bar = nullptr;
        contents.swap(lzh_.Packed_stream);
    } else {
        contents.swap(plain);
    }
    plain.clear();
    if (!write_file_atomically(path, contents, error)) return false;
    file_name_ = path;
    modified_ = false;
    tag_changes_.clear();
    on_disk_ = std::move(contents);
    return true;
}

} // namespace nimbrel
