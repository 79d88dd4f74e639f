// The editor's model of one settings file: its settings in order, what was changed since it was
// opened or saved, and whether it may be written back at all.
#pragma once

#include "settings/progress.h"
#include "settings/settings_file.h"
#include "settings/startup_report.h"
#include "settings/text_lines.h"

#include <memory>
#include <string>
#include <vector>

namespace nimbrel {

class Settings_document {
  public:
    // Packing on save reports to `box`.
    explicit Settings_document(ProgressBox& box = Thinking_box());

    // Opens a settings file, packed when its name ends in ".cmp", else plain text. true when the
    // document now shows that file; a damaged one opens with no settings, read-only, and the
    // saver's own text for it in *error. false (with the saver's text for a missing or
    // unreadable file) leaves the document as it was.
    bool open(const std::string& path, std::string* error);
    // An empty document with no file.
    void new_document();
    // Writes the settings to path(), atomically: a failure leaves the old file byte for byte.
    // Refused for a damaged file, for a document with no file yet and with no setting (the saver
    // would take such a file for a damaged one). false with a message for the user in *error.
    bool save(std::string* error);
    // As save, to `path`, which then becomes the document's file. Refused onto the damaged
    // file the document was opened from.
    bool save_as(const std::string& path, std::string* error);

    const std::string& path() const;
    // A damaged file: never overwritten, until saved under another name.
    bool read_only() const { return read_only_; }
    // Changed since opened, made or saved.
    bool dirty() const { return dirty_; }

    int count() const;
    const Nimbrel_setting& setting(int i) const;

    // Edits of the list. Those that take a name return "" or a message for the user, and leave
    // the document unchanged when they refuse. A name loses its leading and trailing blanks
    // (as the file would lose them); it must then not be empty, have at most 4095 characters
    // and no line breaks, tabs or other control characters, and must differ from every other
    // setting's name without regard to the case of ASCII letters ("Fire" and "FIRE" could not
    // be told apart in the list). *index (when given) receives where the new setting went.
    std::string add_new(const std::string& name, int* index);          // default values, at the end
    std::string duplicate(int i, const std::string& name, int* index); // right after i
    std::string rename(int i, const std::string& name);
    void remove(int i);               // out of range: nothing
    bool move(int i, int delta);      // -1 up, +1 down; false (nothing moved) past either end
    void set_tag(int i, bool tagged); // the tag line, as the configuration dialog sets it
    // The edited values of setting i (as setting_lines writes them). Line 0 is ignored: the
    // name changes through rename only. Lines equal to the setting's do not make it dirty.
    void set_lines(int i, std::vector<std::string> lines);

    // `wanted` when no setting has that name, else the first free "wanted (2)", "wanted (3)"...
    std::string free_name(const std::string& wanted) const;

  private:
    int named(const std::string& name, int except) const; // the other setting of that name, or -1
    std::string checked_name(const std::string& wanted, int except, std::string* name) const;
    bool valid_index(int i) const { return i >= 0 && i < count(); }
    std::vector<Nimbrel_setting>& settings() { return file_->Settings(); }

    ProgressBox& box_;
    Startup_report report_;
    std::unique_ptr<Nimbrel_settings_file> file_;
    bool read_only_ = false;
    bool dirty_ = false;
};

// The longest setting name a file can hold: "{" and the name fill one line.
inline constexpr std::size_t Max_setting_name = Max_line_length - 1;

} // namespace nimbrel
