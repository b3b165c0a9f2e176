// Frame animations.
#include "engine/widgets/Anim.h"

#include "engine/core/XmlAttributes.h"
#include "engine/widgets/Dialog.h"
#include "engine/widgets/SkinTexture.h"
#include "engine/widgets/WidgetAlpha.h"
#include "framework/app/AppBase.h"
#include "framework/graphics/Graphics.h"

VTAnim::VTAnim(VTCandyWidget* engineParent) : VTCandyWidget(engineParent) {}

VTAnim::~VTAnim() = default;

std::unique_ptr<VTCandyWidget> VTAnim::CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                         const Platform::XmlNode& element)
{
    auto anim = std::make_unique<VTAnim>(&dialog);
    anim->LoadFromXml(element, app);
    return anim;
}

void VTAnim::LoadFromXml(const Platform::XmlNode& element, Fw::AppBase* /*owner*/)
{
    LoadCommonFromXml(element);
    framesPerSecond = 0;
    oneShot = false;
    XmlGetAttributeInt(element, "fps", framesPerSecond);
    XmlGetAttributeBool(element, "oneshot", oneShot);
    for (Platform::XmlNode child = element.FirstChild(); child; child = child.NextSibling()) {
        if (child.Name() != "texture")
            continue;
        frames_.push_back(LoadSkinTextureFrom(child, width, height));
        if (IsVisibleWithAncestors())
            frames_.back()->LoadFrames();
    }
    current_ = frames_.empty() ? -1 : 0;
}

void VTAnim::Step()
{
    const int32_t count = static_cast<int32_t>(frames_.size());
    if (current_ + 1 < count)
        ++current_;
    else if (!oneShot)
        current_ = 0;
    else
        stopped_ = true;
    MarkDirty();
}

void VTAnim::Update()
{
    VTCandyWidget::Update();
    if (stopped_ || current_ < 0)
        return;
    time_ += static_cast<float>((Fw::gApplication ? Fw::gApplication->frameTime : 0) / 1000.0);
    if (framesPerSecond != 0) {
        const float period = 1.0f / static_cast<float>(framesPerSecond);
        if (time_ >= period) {
            time_ -= period;
            Step();
        }
    }
}

void VTAnim::Draw(Fw::Graphics* g)
{
    if (!g)
        return;
    g->SetColorizeImages(true);
    g->SetColor(Fw::Color(255, 255, 255, VTDrawAlpha(*this)));
    if (VTTexture* frame = GetFrame(static_cast<size_t>(current_)); frame && current_ >= 0)
        frame->Draw(*g, Fw::Rect(0, 0, width, height));
}

void VTAnim::OnBecameVisible()
{
    VTCandyWidget::OnBecameVisible();
    for (auto& frame : frames_)
        frame->LoadFrames();
    stopped_ = false;
    current_ = frames_.empty() ? -1 : 0;
}

void VTAnim::OnBecameHidden()
{
    VTCandyWidget::OnBecameHidden();
    for (auto& frame : frames_)
        frame->UnloadFrames();
    current_ = -1;
    stopped_ = true;
}
