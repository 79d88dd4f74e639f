// The editor's window: the parameter form of a setting shown for real (its controls, buttons and
// handlers, the holder keeping the values and running the couplings), the settings of one file
// with the means to add, copy, rename, remove and reorder them, and the live preview. Every
// change goes into the open document at once; Save settings writes the file.
#pragma once

#include "app/win32_api.h"

#include "editor/editor_preview_win32.h"
#include "editor/settings_document.h"
#include "settings/parameters.h"
#include "settings/settings_form.h"

#include <array>
#include <optional>
#include <string>

namespace nimbrel {

struct EditorStart {
    std::string data_folder;         // with a trailing separator; empty when none is known
    std::string settings_file;       // the file to open; empty: none
    std::string setting_name;        // the setting to show first; empty: the first
    bool offer_registration = false; // no data folder registered: offer the opened file's
};

class EditorDialog {
  public:
    explicit EditorDialog(EditorStart start);
    ~EditorDialog();
    EditorDialog(const EditorDialog&) = delete;
    EditorDialog& operator=(const EditorDialog&) = delete;

    // Shows the editor modally; returns when it is closed.
    void run();

  private:
    static INT_PTR CALLBACK dialog_proc(HWND, UINT, WPARAM, LPARAM);
    INT_PTR handle(UINT message, WPARAM wparam, LPARAM lparam);
    void init();
    void command(int id, int code, HWND control);
    void scroll(HWND bar, WPARAM wparam);

    HWND item(int id) const { return GetDlgItem(window_, id); }
    int message(const std::string& text, UINT flags) const;

    // The file.
    bool open(const std::string& path);
    bool save(bool choose_name);
    bool load();
    // Asks about unsaved changes; false: the user chose to stay.
    bool may_discard();
    void offer_registration();
    void fill_settings_list();
    void select(int index);
    std::optional<std::string> ask_name(const std::string& prompt, const std::string& name);
    void add_setting(bool copy);
    void rename_setting();
    void remove_setting();
    void move_setting(int delta);
    void update_title();

    // The values.
    void show_values(bool all);
    void changed(bool needs_engine);
    void show_speed();
    void draw_palette_strip(const DRAWITEMSTRUCT& draw);
    void load_strip_colours();
    void help();
    void about();

    EditorStart start_;
    HWND window_ = nullptr;
    Settings_document document_;
    TSettings_Form holder_;
    int current_ = -1;
    EditorPreview preview_;
    // What the controls show, so a change touches only the controls it concerns.
    std::array<ScrollValue, Param_count> shown_scroll_{};
    std::array<int, Param_count> shown_on_{};
    int shown_palette_ = -2;
    std::vector<COLORREF> strip_; // the chosen palette's colours
    bool updating_ = false;
};

} // namespace nimbrel
