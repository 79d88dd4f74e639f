#include "editor/settings_document.h"

#include "editor/setting_writer.h"
#include "settings/settings_form.h"

#include <algorithm>
#include <filesystem>
#include <utility>

namespace nimbrel {
namespace {

bool fail(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

bool same_file(const std::string& a, const std::string& b) {
    std::error_code ec;
    return a == b || std::filesystem::equivalent(a, b, ec);
}

} // namespace

Settings_document::Settings_document(ProgressBox& box) : box_(box) {
    new_document();
}

bool Settings_document::open(const std::string& path, std::string* error) {
    report_ = {};
    auto file = std::make_unique<Nimbrel_settings_file>(report_, box_);
    const bool found = file->Load(path, false);
    // The texts are the saver's own, without the line breaks that end them on its screen.
    const std::string problem = trimmed(report_.Error_text);
    if (!found || report_.has(err_no_settings_file)) return fail(error, problem);
    file_ = std::move(file);
    read_only_ = report_.has(err_settings_corrupt);
    dirty_ = false;
    if (error) *error = read_only_ ? problem : "";
    return true;
}

void Settings_document::new_document() {
    report_ = {};
    file_ = std::make_unique<Nimbrel_settings_file>(report_, box_);
    read_only_ = false;
    dirty_ = false;
}

bool Settings_document::save(std::string* error) {
    if (path().empty()) return fail(error, "Choose a name for the new settings file first.");
    return save_as(path(), error);
}

bool Settings_document::save_as(const std::string& path, std::string* error) {
    if (read_only_ && same_file(path, this->path()))
        return fail(error, "This settings file is damaged, so Nimbrel leaves it as it is. Save "
                           "the settings under another name.");
    if (count() == 0)
        return fail(error, "There is no setting to save: Nimbrel would take a settings file "
                           "without settings for a damaged one.");
    std::string why;
    if (!file_->Save_as(path, &why))
        return fail(error, "Nimbrel could not save the settings file " + path + ": " + why +
                               ". The file on disk is unchanged.");
    read_only_ = false;
    dirty_ = false;
    return true;
}

const std::string& Settings_document::path() const {
    return file_->File_name();
}

int Settings_document::count() const {
    return file_->Count();
}

const Nimbrel_setting& Settings_document::setting(int i) const {
    return file_->Setting(i);
}

int Settings_document::named(const std::string& name, int except) const {
    for (int i = 0; i < count(); ++i)
        if (i != except && equal_ignoring_case(setting(i).Get_name(), name)) return i;
    return -1;
}

std::string Settings_document::checked_name(const std::string& wanted, int except,
                                            std::string* name) const {
    *name = trimmed(wanted);
    if (name->empty()) return "A setting needs a name.";
    if (name->size() > Max_setting_name)
        return "A setting name can have at most " + std::to_string(Max_setting_name) +
               " characters; this one has " + std::to_string(name->size()) + ".";
    if (std::any_of(name->begin(), name->end(), [](char c) { return c != ' ' && is_blank(c); }))
        return "A setting name cannot hold line breaks, tabs or other control characters.";
    if (const int other = named(*name, except); other >= 0)
        return "There is already a setting called \"" + setting(other).Get_name() + "\".";
    return "";
}

std::string Settings_document::add_new(const std::string& name, int* index) {
    std::string checked;
    if (auto refused = checked_name(name, -1, &checked); !refused.empty()) return refused;
    Nimbrel_setting added;
    added.Lines = setting_lines(checked, TSettings_Form{}, false);
    settings().push_back(std::move(added));
    if (index) *index = count() - 1;
    dirty_ = true;
    return "";
}

std::string Settings_document::duplicate(int i, const std::string& name, int* index) {
    if (!valid_index(i)) return "There is no setting to duplicate.";
    std::string checked;
    if (auto refused = checked_name(name, -1, &checked); !refused.empty()) return refused;
    Nimbrel_setting copy = setting(i);
    copy.Lines.at(0) = checked;
    settings().insert(settings().begin() + i + 1, std::move(copy));
    if (index) *index = i + 1;
    dirty_ = true;
    return "";
}

std::string Settings_document::rename(int i, const std::string& name) {
    if (!valid_index(i)) return "There is no setting to rename.";
    std::string checked;
    if (auto refused = checked_name(name, i, &checked); !refused.empty()) return refused;
    std::vector<std::string>& lines = settings()[static_cast<std::size_t>(i)].Lines;
    if (lines.at(0) == checked) return "";
    lines[0] = checked;
    dirty_ = true;
    return "";
}

void Settings_document::remove(int i) {
    if (!valid_index(i)) return;
    settings().erase(settings().begin() + i);
    dirty_ = true;
}

bool Settings_document::move(int i, int delta) {
    const int to = i + delta;
    if (delta == 0 || !valid_index(i) || !valid_index(to)) return false;
    auto& list = settings();
    if (delta < 0)
        std::rotate(list.begin() + to, list.begin() + i, list.begin() + i + 1);
    else
        std::rotate(list.begin() + i, list.begin() + i + 1, list.begin() + to + 1);
    dirty_ = true;
    return true;
}

void Settings_document::set_tag(int i, bool tagged) {
    if (!valid_index(i) || setting(i).Is_tagged() == tagged) return;
    // The setting's own Set_tag: the file's would have it save itself when it is destroyed.
    settings()[static_cast<std::size_t>(i)].Set_tag(tagged);
    dirty_ = true;
}

void Settings_document::set_lines(int i, std::vector<std::string> lines) {
    if (!valid_index(i)) return;
    std::vector<std::string>& current = settings()[static_cast<std::size_t>(i)].Lines;
    if (lines.empty()) lines.emplace_back();
    lines[0] = current.at(0);
    if (lines == current) return;
    current = std::move(lines);
    dirty_ = true;
}

std::string Settings_document::free_name(const std::string& wanted) const {
    std::string name = wanted;
    for (int n = 2; named(trimmed(name), -1) >= 0; ++n)
        name = wanted + " (" + std::to_string(n) + ")";
    return name;
}

} // namespace nimbrel
