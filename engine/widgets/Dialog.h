// The engine's container widget: builds itself and its child widgets from one skin element (each
// "element" child made by the element factory from its "type"), draws its background with the
// alpha of all its engine ancestors, can be modal (one modal layer of the widget manager while
// visible), and collects the clicks of the buttons inside it, passing them up to the outermost
// dialog. The engine's root dialog, the splash and loading boards and their pages are dialogs.
#pragma once
#include "engine/widgets/CandyWidget.h"
#include "framework/widgets/ButtonListener.h"

#include <cstdint>
#include <memory>
#include <string>

class VTImageRef;
namespace Fw {
class AppBase;
}

class VTDialog : public VTCandyWidget, public Fw::ButtonListener {
public:
    // app gives the widget manager that modal layers go on (may be null: no modal layers).
    VTDialog(VTCandyWidget* engineParent, Fw::AppBase* app);
    // Pops its modal layer first when one is still pushed.
    ~VTDialog() override;

    static std::unique_ptr<VTCandyWidget> CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                            const Platform::XmlNode& element);

    // The common properties, the background ("texture" child with "id" "normal", texture id 0),
    // "modal" (absent: unchanged; the layer is pushed when the dialog becomes visible), then every
    // "element" child in document order: its "type" must name a class of the element factory
    // exactly and it must have a "name"; others are skipped. Each made widget gets "oncreate" fired
    // on its effect and is added under its name.
    virtual void LoadFromXml(const Platform::XmlNode& element);
    // Loads this dialog from node's child "element" whose "name" is name and whose "type" is
    // "vtdialog"; nothing when there is none. Returns whether it was found.
    bool LoadNestedDialog(const Platform::XmlNode& node, const std::wstring& name);
    // A button inside this dialog was clicked: passed on to the engine parent when that is a
    // dialog, so a click climbs to the outermost dialog.
    virtual void OnButtonClicked(int32_t id);
    // Keeps the flag; set pushes a modal layer at once (visible or not) unless one is pushed,
    // cleared pops it.
    virtual void SetModal(bool modal);
    // image as the background's only frame with the source rectangle; nothing without a background.
    virtual void SetBackground(const VTImageRef& image, const Fw::Rect& source);

    bool IsModal() const { return modal_; }
    bool IsModalLayerPushed() const { return layerPushed_; }
    Fw::AppBase* GetApplication() const { return app_; }
    // The widget that receives every mouse press of this dialog first (not owned; set by the board
    // that owns the dialog; null for none).
    void SetMouseHandler(Fw::Widget* handler) { mouseHandler_ = handler; }
    Fw::Widget* GetMouseHandler() const { return mouseHandler_; }

    // ---- Fw::ButtonListener ----
    void ButtonClicked(int32_t id) override { OnButtonClicked(id); }

    void Update() override;
    void Draw(Fw::Graphics* g) override;
    void MouseDown(int32_t mx, int32_t my, int button, int clickCount) override;
    void OnBecameVisible() override;
    void OnBecameHidden() override;

private:
    void PushLayer();
    void PopLayer();
    void LoadElements(const Platform::XmlNode& element);

    bool modal_ = false;
    Fw::Widget* mouseHandler_ = nullptr;
    Fw::AppBase* app_;
    bool layerPushed_ = false;
};
