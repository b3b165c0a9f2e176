// Dialogs: building from skin elements, background drawing, modal layers and the climb of button
// clicks.
#include "engine/widgets/Dialog.h"

#include "engine/core/XmlAttributes.h"
#include "engine/effects/WidgetEffect.h"
#include "engine/widgets/ElementFactory.h"
#include "engine/widgets/SkinTexture.h"
#include "engine/widgets/WidgetAlpha.h"
#include "engine/core/Texture.h"
#include "framework/app/AppBase.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/WidgetManager.h"

#include <string>

VTDialog::VTDialog(VTCandyWidget* engineParent, Fw::AppBase* app) : VTCandyWidget(engineParent), app_(app) {}

VTDialog::~VTDialog() { PopLayer(); }

std::unique_ptr<VTCandyWidget> VTDialog::CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                           const Platform::XmlNode& element)
{
    auto nested = std::make_unique<VTDialog>(&dialog, app);
    nested->LoadFromXml(element);
    return nested;
}

// ---- building ----

void VTDialog::LoadFromXml(const Platform::XmlNode& element)
{
    LoadCommonFromXml(element);
    AddTexture(0, LoadSkinTexture(element, "normal", width, height));
    XmlGetAttributeBool(element, "modal", modal_);
    LoadElements(element);
}

void VTDialog::LoadElements(const Platform::XmlNode& element)
{
    for (Platform::XmlNode child = element.FirstChild(); child; child = child.NextSibling()) {
        if (child.Name() != "element")
            continue;
        std::string type;
        if (!XmlGetAttributeString(child, "type", type, 128))
            continue;
        const VTElementType* entry = FindElementType(type);
        if (!entry)
            continue;
        std::string name;
        if (!XmlGetAttributeString(child, "name", name, entry->nameBufferSize))
            continue;
        std::unique_ptr<VTCandyWidget> widget = entry->create(*this, app_, child);
        if (!widget)
            continue;
        if (VTWidgetEffect* effect = widget->GetEffect())
            effect->FireEvent("oncreate");
        AddChild(name, widget.release());
    }
}

bool VTDialog::LoadNestedDialog(const Platform::XmlNode& node, const std::wstring& name)
{
    const std::string narrow = Fw::WStringToString(name);
    const Platform::XmlNode child =
        node.SelectSingleNode("element[@name=$name and @type='vtdialog']", {{"name", narrow}});
    if (!child)
        return false;
    LoadFromXml(child);
    return true;
}

void VTDialog::SetBackground(const VTImageRef& image, const Fw::Rect& source)
{
    VTTexture* background = GetMainTexture();
    if (!background)
        return;
    background->SetSingleFrame(image);
    background->SetRect(source);
    if (IsVisibleWithAncestors())
        background->LoadFrames();
}

// ---- clicks ----

void VTDialog::OnButtonClicked(int32_t id)
{
    if (auto* parent = dynamic_cast<VTDialog*>(GetEngineParent()))
        parent->OnButtonClicked(id);
}

// ---- modal layers ----

void VTDialog::PushLayer()
{
    if (layerPushed_ || !app_ || !app_->widgetManager)
        return;
    app_->widgetManager->PushModalLayer(this);
    layerPushed_ = true;
}

void VTDialog::PopLayer()
{
    if (!layerPushed_)
        return;
    layerPushed_ = false;
    if (app_ && app_->widgetManager)
        app_->widgetManager->PopModalLayer(this);
}

void VTDialog::SetModal(bool modal)
{
    modal_ = modal;
    if (modal_)
        PushLayer();
    else
        PopLayer();
}

void VTDialog::OnBecameVisible()
{
    VTCandyWidget::OnBecameVisible();
    if (modal_)
        PushLayer();
}

void VTDialog::OnBecameHidden()
{
    VTCandyWidget::OnBecameHidden();
    PopLayer();
}

// ---- frame ----

void VTDialog::Update() { VTCandyWidget::Update(); }

void VTDialog::Draw(Fw::Graphics* g)
{
    if (!g)
        return;
    g->SetColorizeImages(true);
    g->SetColor(Fw::Color(255, 255, 255, VTDrawAlpha(*this)));
    VTCandyWidget::Draw(g);
}

void VTDialog::MouseDown(int32_t mx, int32_t my, int button, int clickCount)
{
    if (mouseHandler_)
        mouseHandler_->MouseDown(mx, my, button, clickCount);
    VTCandyWidget::MouseDown(mx, my, button, clickCount);
}
