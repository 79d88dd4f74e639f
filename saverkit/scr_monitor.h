// TScrMonitor: the picture of a monitor. With corner buttons it edits the hot corners (a popup
// menu per corner); as a preview frame it holds a "MonitorWindow" child over its screen, into
// which the kit shows the live preview.
#pragma once

#include "saverkit/controls.h"
#include "saverkit/general_options.h"
#include "saverkit/scr_forms.h"

#include <functional>

namespace nimbrel {

class TScrMonitor;
using TScrCornerClickEvent =
    std::function<void(TScrMonitor* sender, TScrCorner corner, TScrCornerMode mode)>;

class TScrMonitor : public TPanel, public TScrMonitorHooks {
  public:
    TScrMonitor(TComponent* owner, const char* name = "");
    ~TScrMonitor() override;
    const char* ClassName() const override { return "TScrMonitor"; }

    TScrMonitorUse Use() const { return use_; }
    void SetUse(TScrMonitorUse use);
    bool IsPreviewUse() const override { return use_ == smuPreview; }

    TScrCornerMode GetCorner(TScrCorner corner) const { return corners_[corner]; }
    void SetCorner(TScrCorner corner, TScrCornerMode mode);
    const CornerModes& Corners() const { return corners_; }
    const MonitorGeometry& Geometry() const { return geometry_; }
    // Where the picture sits in the control, and its size there (pixels).
    KitSize Offset() const;
    KitSize PictureSize() const;
    // The corner whose menu is open (4: none).
    int EditedCorner() const { return edited_; }

    TScrCornerClickEvent OnClickCorner;

    virtual void ClickCorner(TScrCorner corner, TScrCornerMode mode);
    virtual void LoadCorners();
    virtual void SaveCorners();
    void DpiChanged(int old_dpi) override;

  protected:
    void CreateWnd() override;
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;
    void Paint(HDC dc) override;

  private:
    void create_preview_child();
    void destroy_preview_child();
    HBITMAP corner_bitmap(TScrCornerMode mode) const;

    TScrMonitorUse use_ = smuCorners;
    CornerModes corners_{scmNormal, scmNormal, scmNormal, scmNormal};
    int edited_ = 4;
    HMENU menu_ = nullptr;
    HBITMAP monitor_ = nullptr, default_ = nullptr, now_ = nullptr, never_ = nullptr;
    MonitorGeometry geometry_;
};

// The class of the preview child: erased in the desktop's colour.
bool RegisterMonitorWindowClass();

} // namespace nimbrel
