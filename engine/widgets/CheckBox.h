// The engine's two-state toggle: a release over the box inverts its checked flag, and it shows one
// of six faces by checked, hovered and disabled. It reports nothing; owners read IsChecked. Built
// from "vtcheckbox" skin elements.
#pragma once
#include "engine/widgets/CandyWidget.h"

#include <array>
#include <memory>

class VTDialog;
namespace Fw {
class AppBase;
}

class VTCheckBox : public VTCandyWidget {
public:
    enum Face { kNormal = 0, kOver = 1, kDisabled = 2 };

    explicit VTCheckBox(VTCandyWidget* engineParent);
    ~VTCheckBox() override;

    static std::unique_ptr<VTCandyWidget> CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                            const Platform::XmlNode& element);

    // The common properties, then the textures "normal", "over", "disabled", "check_normal",
    // "check_over" and "check_disabled" (all kept under texture id 0).
    virtual void LoadFromXml(const Platform::XmlNode& element, Fw::AppBase* owner);
    virtual void SetChecked(bool checked);
    virtual bool IsChecked() const { return checked_; }
    // The face texture of a state (null when the skin has none).
    VTTexture* GetFace(bool checked, Face face) const;
    // The face texture of a state; an empty one is made (kept under texture id 0) when it has none.
    VTTexture& EnsureFace(bool checked, Face face);

    void Update() override;
    void Draw(Fw::Graphics* g) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseUp(int32_t mx, int32_t my, int button, int clickCount) override;

    float tintR = 1.0f, tintG = 1.0f, tintB = 1.0f; // multipliers of the drawing colour

protected:
    bool checked_ = false;

private:
    void SelectFace();

    std::array<VTTexture*, 3> checkedFaces_{};
    std::array<VTTexture*, 3> uncheckedFaces_{};
};
