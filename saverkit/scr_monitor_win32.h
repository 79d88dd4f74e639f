// TScrMonitor: the picture of a monitor, a custom control (window class SCR_MONITOR_CLASS) in a
// dialog template. With corner buttons it edits the hot corners (a popup menu per corner); as a
// preview frame it holds a "MonitorWindow" child over its screen, into which the kit shows the
// live preview.
#pragma once

#include "saverkit/dpi_win32.h"
#include "saverkit/general_options.h"
#include "saverkit/window_win32.h"

#include <functional>
#include <memory>

namespace nimbrel {

class TScrMonitor;
using TScrCornerClickEvent =
    std::function<void(TScrMonitor* sender, TScrCorner corner, TScrCornerMode mode)>;

class TScrMonitor : public Window {
  public:
    TScrMonitor();
    ~TScrMonitor() override;

    // Takes over the control window of a dialog (null: lets it go).
    void Attach(HWND window);
    HWND WindowHandle() const { return hwnd(); }

    void SetUse(TScrMonitorUse use);

    TScrCornerMode GetCorner(TScrCorner corner) const { return corners_[corner]; }
    void SetCorner(TScrCorner corner, TScrCornerMode mode);
    const MonitorGeometry& Geometry() const { return geometry_; }
    // Where the picture sits in the control, and its size there (pixels).
    KitSize Offset() const;
    KitSize PictureSize() const;
    // The corner whose menu is open (4: none).
    int EditedCorner() const { return edited_; }

    TScrCornerClickEvent OnClickCorner;

    void ClickCorner(TScrCorner corner, TScrCornerMode mode);
    void LoadCorners();
    void SaveCorners();

  protected:
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    class Screen;
    // The resolution the picture is drawn at.
    int dpi() const { return PictureDpi(size(), WindowDpi(hwnd())); }
    KitSize size() const;
    void paint(HDC dc);
    void place_preview_child();
    void create_preview_child();
    HBITMAP corner_bitmap(TScrCornerMode mode) const;

    std::unique_ptr<Screen> screen_; // the preview child
    TScrMonitorUse use_ = smuCorners;
    CornerModes corners_{scmNormal, scmNormal, scmNormal, scmNormal};
    int edited_ = 4;
    HMENU menu_ = nullptr;
    HBITMAP monitor_ = nullptr, default_ = nullptr, now_ = nullptr, never_ = nullptr;
    MonitorGeometry geometry_;
};

// The picture's class, for the dialogs that hold the control.
bool RegisterMonitorWindowClass();

} // namespace nimbrel
