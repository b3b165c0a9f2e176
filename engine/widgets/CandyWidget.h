// The base of every engine widget, dialog and board: a framework widget with a 2-D transform
// (position, offset, rotation and one uniform scale about a scale point in the parent's coordinates,
// composed with the engine parent's transform), an alpha factor, owned textures drawn through that
// transform, owned children registered by name, an optional effect that animates it through VTIEffect,
// Show/Hide that let the effect play "onshow"/"onhide", images held only while the widget is visible
// with all its engine ancestors, and mouse events handed on to the game board that contains it.
// Created invisible. Main thread.
#pragma once
#include "engine/effects/WidgetEffect.h"
#include "engine/effects/EffectWidget.h"
#include "engine/effects/IEffect.h"
#include "framework/core/Matrix3.h"
#include "framework/core/Point.h"
#include "framework/graphics/Rect.h"
#include "framework/widgets/Widget.h"
#include "platform/XmlDocument.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class VTCandyWidget;
class VTTexture;

// One per child added with AddChild: what effects need to move and scale the child. Bound to the
// effect as the vector (VTEffectValueId::ChildRecords); a child's records go when it is removed or
// destroyed.
struct VTChildEffectRef {
    Fw::Point* offset = nullptr;     // the child's offset pair
    Fw::Point* scalePoint = nullptr; // the child's scale point pair
    VTCandyWidget* child = nullptr;
};

class VTCandyWidget : public Fw::Widget, public VTIEffect, public VTEffectWidget {
public:
    // engineParent: the engine widget this one belongs to (may be null); AddChild sets it too.
    explicit VTCandyWidget(VTCandyWidget* engineParent = nullptr);
    // Deletes the effect and the textures, then removes and deletes every child widget; leaves its
    // engine parent's name map and child records.
    ~VTCandyWidget() override;

    // Reads "x", "y", "width", "height" (absent: 0), "visible" (only when present), "has_alpha" and
    // "mousevisible" (absent: true), "effect" (made by name and bound), "scalepointx", "scalepointy".
    // Returns whether "scalepointy" was present. Every subclass's loader calls it first.
    bool LoadCommonFromXml(const Platform::XmlNode& element);

    // Starts showing / hiding: through the effect when it has an "onshow" / "onhide" message (the
    // effect then sets the visibility), otherwise at once. Nothing while already showing / hiding.
    void Show();
    void Hide();

    // Gives the widget an effect (replacing and deleting any earlier one): binds the offset, scale
    // point, widget and child records into it and makes this widget its target. Null removes it.
    void SetEffect(std::unique_ptr<VTWidgetEffect> effect);
    VTWidgetEffect* GetEffect() const { return effect_.get(); }

    // ---- framework overrides ----
    void Update() override;
    void Draw(Fw::Graphics* g) override;
    // Also VTIEffect::SetVisible. Runs the became-visible pass after showing, the became-hidden pass
    // before hiding; clears the showing and hiding states.
    void SetVisible(bool v) override;
    void Resize(int32_t newX, int32_t newY, int32_t newWidth, int32_t newHeight) override;
    void Move(int32_t newX, int32_t newY) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseMove(int32_t mx, int32_t my) override;
    void MouseDown(int32_t mx, int32_t my, int button, int clickCount) override;
    void MouseUp(int32_t mx, int32_t my, int button, int clickCount) override;
    void MouseDrag(int32_t mx, int32_t my) override;

    // ---- engine widget operations ----
    virtual void OnShow() {}
    virtual void OnHide() {}
    // The widget and all its engine ancestors became visible: loads every texture's images.
    virtual void OnBecameVisible();
    // The widget stops being visible: releases them.
    virtual void OnBecameHidden();
    // Adds child (owned from now on) to the tree on top of earlier children and under name; the
    // name map keeps the first child of a name. A null child is ignored.
    virtual void AddChild(const std::string& name, VTCandyWidget* child);
    // Takes the named child out of the tree (not deleted; the caller owns it again) and drops its
    // child records. Nothing for an unknown name.
    virtual void RemoveChild(const std::string& name);
    virtual VTCandyWidget* FindChild(const std::string& name) const;
    // Widget space to screen: the cached transform, rebuilt when dirty.
    virtual const Fw::Matrix3& GetTransform();
    // Colour multipliers: 1.0 each here.
    virtual void GetColorScale(float* r, float* g, float* b);

    bool IsVisibleWithAncestors() const;
    // Marks the transform and bounds of this widget and every named descendant for rebuilding.
    void InvalidateTransform();
    // Screen rectangle of the transformed widget (the application area when width or height is 0),
    // intersected with the engine parent's; cached.
    const Fw::Rect& GetScreenBounds();
    // The transformed (0,0)-(width,height) corners' bounding box under m, intersected with the engine
    // parent's screen bounds; not cached, no zero-size rule.
    Fw::Rect GetBoundsForMatrix(const Fw::Matrix3& m);
    // full: the application area; otherwise the application area intersected with the screen bounds.
    Fw::Rect GetClipRect(bool full);

    // Takes ownership; a null texture is ignored. Equal ids keep insertion order; id 0 is the main
    // texture. A texture added while the widget is visible with its ancestors is loaded at once.
    void AddTexture(int32_t id, std::unique_ptr<VTTexture> texture);
    // The index-th texture with that id, or null.
    VTTexture* GetTexture(int32_t id, int32_t index) const;
    VTTexture* GetMainTexture() const { return GetTexture(0, 0); }

    VTCandyWidget* GetEngineParent() const { return engineParent_; }
    const std::vector<VTChildEffectRef>& GetChildRecords() const { return childRecords_; }
    const std::multimap<int32_t, std::unique_ptr<VTTexture>>& GetTextures() const { return textures_; }
    bool IsShowing() const { return showing_; }
    bool IsHiding() const { return hiding_; }

    // ---- VTIEffect ----
    void SetAlpha(float a) override { alpha = a; }
    void SetScale(float s) override;
    void SetScalePointX(int32_t x) override;
    void SetScalePointY(int32_t y) override;
    // The offsets invalidate the transform too, so a new offset shows at the next update.
    void SetOffsetX(int32_t x) override;
    void SetOffsetY(int32_t y) override;

    // ---- VTEffectWidget ----
    VTEffectWidgetGeometry EffectGeometry() const override;
    void SetEffectAngle(float degrees) override { angle = degrees; }
    bool IsEffectMouseOver() const override { return hover; }
    VTIEffect* EffectChild(std::string_view name) override { return FindChild(std::string(name)); }

    // The application area (0, 0, application width, application height).
    static Fw::Rect ApplicationArea();

    // ---- state that effects and subclasses read and write ----
    Fw::Point offset;        // added to the position before rotation (effect value Offset)
    float scale = 1.0f;      // uniform scale
    Fw::Point scalePoint;    // centre of rotation and scaling, parent's coordinates (value ScalePoint)
    float angle = 0.0f;      // rotation in degrees
    double exactX = 0.0, exactY = 0.0, exactWidth = 0.0, exactHeight = 0.0; // the transform uses these
    bool hover = false;      // the mouse is over the widget
    float alpha = 1.0f;      // opacity factor; descendants multiply it in when dialogs draw

private:
    // Runs OnBecameVisible (or OnBecameHidden) when visible with all ancestors, then on every visible
    // named child.
    void BecameVisiblePass();
    void BecameHiddenPass();
    // Drops every name and record of child (it is being removed or destroyed).
    void ForgetChild(const VTCandyWidget* child);
    void HandMouseToBoard(int kind, int button, int clickCount);

    std::unique_ptr<VTWidgetEffect> effect_;
    VTCandyWidget* engineParent_ = nullptr;
    std::vector<VTChildEffectRef> childRecords_;
    std::map<std::string, VTCandyWidget*> childrenByName_;
    std::multimap<int32_t, std::unique_ptr<VTTexture>> textures_;
    bool hiding_ = false;
    bool showing_ = false;
    Fw::Matrix3 transform_;
    Fw::Rect screenBounds_;
    bool transformDirty_ = true;
    bool boundsDirty_ = true;
};
