// The settings collection: every setting of one settings file, in file order.
#pragma once

#include "settings/lzh.h"
#include "settings/progress.h"
#include "settings/setting.h"
#include "settings/startup_report.h"

#include <string>
#include <utility>
#include <vector>

namespace nimbrel {

class Nimbrel_settings_file {
  public:
    // Problems go into the process-wide options record (nowhere when none is installed),
    // progress to the process-wide box.
    Nimbrel_settings_file();
    explicit Nimbrel_settings_file(Startup_report& report, ProgressBox& box = Thinking_box());
    // Saves the file when a tag was changed; a failed save is shown as an alert.
    ~Nimbrel_settings_file();
    Nimbrel_settings_file(const Nimbrel_settings_file&) = delete;
    Nimbrel_settings_file& operator=(const Nimbrel_settings_file&) = delete;

    // true when the file exists, even if it proves unusable. A file whose extension is exactly
    // ".cmp" holds the packed text, any other the text itself.
    bool Load(const std::string& path, bool show_progress);
    // What Load does with the file's contents once read: unpacks them when packed, then reads
    // the setting blocks. Problems go to the report as for a file. Unless loaded from a file
    // before, the collection has no file to save to.
    void Load_contents(Bytes contents, bool packed);

    int Count() const { return static_cast<int>(settings_.size()); }
    const Nimbrel_setting& Setting(int i) const { return settings_.at(static_cast<size_t>(i)); }
    // The list itself, for an editor that adds, removes, reorders and rewrites settings. Changes
    // made through it do not count as Modified: the editor saves them itself.
    std::vector<Nimbrel_setting>& Settings() { return settings_; }
    // A random index, among tagged settings when asked (any setting if none turns up); -1 when
    // there is no setting.
    int Random_index(bool tagged_only) const;

    void Set_tag(int i, bool tagged);
    bool Modified() const { return modified_; }

    // Reads the file again when another program (the editor) has rewritten it since it was
    // read or written here; tags changed here are switched in the new version and saved. true
    // when the settings are now the new version; a new version that cannot be read is ignored.
    bool Refresh();
    // Writes the tags back to the file they were loaded from, atomically. When another program
    // (the editor) has rewritten the file since, the tags changed here are switched, by setting
    // name, in that newer version rather than the old copy overwriting it; a newer version that
    // cannot be read is left alone (false). false (with a reason) when it could not be written;
    // the file then keeps its old contents. Edits made through Settings() go with Save_as.
    bool Save(std::string* error = nullptr);
    // Writes the collection to path as Save does (packed when path ends in ".cmp") and, once
    // written, makes path the collection's file. A failure leaves both files as they were.
    bool Save_as(const std::string& path, std::string* error = nullptr);

    const std::string& File_name() const { return file_name_; }

  private:
    void parse();
    // Whether someone else wrote the file since it was read or written here; its contents are
    // then in `now`.
    bool rewritten_elsewhere(Bytes& now) const;
    // Takes the settings of `now` with this collection's tag changes; false when unreadable.
    bool adopt(const Bytes& now);

    Startup_report* report_;
    Startup_report discarded_;
    ProgressBox& box_;
    std::string file_name_;
    bool modified_ = false;
    std::vector<Nimbrel_setting> settings_;
    Bytes on_disk_; // the file as last read or written, to see whether someone else wrote it
    std::vector<std::pair<std::string, bool>> tag_changes_; // by setting name, in order
    My_LZH_Compressor lzh_;
};

// Whether the path's extension is exactly ".cmp" (case counts).
bool is_packed_settings_name(const std::string& path);

} // namespace nimbrel
