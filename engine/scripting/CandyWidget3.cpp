// The plain script widget: its transform, drawing, hit test, update and class attributes.
#include "engine/scripting/CandyWidget3.h"

#include "engine/core/DebugSettings.h"
#include "engine/core/Texture.h"
#include "engine/scripting/ExtPythonManager.h"
#include "engine/scripting/GameScript.h"
#include "engine/scripting/ParticleSystem3.h"
#include "engine/scripting/ScriptWidgetTree.h"
#include "engine/scripting/ScriptWidgetWalk.h"
#include "framework/app/AppBase.h"
#include "framework/core/Transform2D.h"
#include "framework/graphics/Graphics.h"

#include <algorithm>
#include <cmath>

namespace {

float FrameSeconds() { return Fw::gApplication ? static_cast<float>(Fw::gApplication->frameTime / 1000.0) : 0.0f; }

// The inverse through the adjugate, in single precision; the identity for a singular matrix.
Fw::Matrix3 Inverse(const Fw::Matrix3& a)
{
    const auto& m = a.m;
    const float c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1];
    const float c01 = m[1][2] * m[2][0] - m[1][0] * m[2][2];
    const float c02 = m[1][0] * m[2][1] - m[1][1] * m[2][0];
    const float det = m[0][0] * c00 + m[0][1] * c01 + m[0][2] * c02;
    Fw::Matrix3 r;
    if (det == 0.0f || !std::isfinite(det))
        return r;
    const float inv = 1.0f / det;
    r.m[0][0] = c00 * inv;
    r.m[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) * inv;
    r.m[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) * inv;
    r.m[1][0] = c01 * inv;
    r.m[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) * inv;
    r.m[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) * inv;
    r.m[2][0] = c02 * inv;
    r.m[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) * inv;
    r.m[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) * inv;
    return r;
}

// A texture's pixel under (x, y), inside its own source rectangle only: a sheet's neighbouring
// pictures never answer for it.
bool TextureHit(VTTexture& texture, int32_t x, int32_t y)
{
    if (x < 0 || y < 0)
        return false;
    if ((texture.width > 0 && x >= texture.width) || (texture.height > 0 && y >= texture.height))
        return false;
    return texture.HitTest(x, y);
}

int32_t Channel(float f)
{
    const float v = 255.0f * f;
    if (!(v > 0.0f))
        return 0;
    return v >= 255.0f ? 255 : static_cast<int32_t>(v);
}

} // namespace

VTCandyWidget3::VTCandyWidget3(PyObject* scriptObject, VTCandyWidget* parent)
    : VTCandyWidget(parent), VTPyWidgetBrotherInterface(scriptObject)
{
    flagsMod.removeFlags |= Fw::WidgetFlags::AllowMouse;
}

VTCandyWidget3::~VTCandyWidget3()
{
    for (VTParticleSystem3* system : particleSystems_)
        system->ForgetOwner();
    particleSystems_.clear();
}

// ---- twin ----

bool VTCandyWidget3::GetClassAttr(VTPythonObject& out, const char* name) { return GetCandyWidgetAttr(*this, out, name); }

bool VTCandyWidget3::SetClassAttr(const VTPythonObject& value, const char* name)
{
    if (SetCandyWidgetAttr(*this, *this, value, name))
        return true;
    const std::string_view n = name;
    if (n == "color") {
        const uint32_t packed = value.PackColorFromFloats();
        alpha = float(packed >> 24) / 255.0f;
        colorR = float((packed >> 16) & 0xFF) / 255.0f;
        colorG = float((packed >> 8) & 0xFF) / 255.0f;
        colorB = float(packed & 0xFF) / 255.0f;
    } else if (n == "is_mask") {
        isMask = value.AsInt() != 0;
    } else if (n == "scale_x") {
        SetScaleX(value.AsFloat());
    } else if (n == "scale_y") {
        SetScaleY(value.AsFloat());
    } else if (n == "allow_solid_rect") {
        alwaysHit = value.AsInt() != 0;
    } else {
        return false;
    }
    return true;
}

void VTCandyWidget3::DestroyTwin()
{
    DetachScriptWidget(this);
    delete this;
}

// ---- transform ----

const Fw::Matrix3& VTCandyWidget3::GetTransform()
{
    Fw::Transform2D t;
    t.Translate(-float(scalePoint.x), -float(scalePoint.y));
    t.RotateDeg(angle);
    t.Scale(scaleX, scaleY);
    t.Translate(float(offset.x + exactX + scalePoint.x), float(offset.y + exactY + scalePoint.y));
    transform3_ = t.GetMatrix();
    if (VTCandyWidget* parent = GetEngineParent())
        transform3_ = parent->GetTransform().Multiply(transform3_);
    return transform3_;
}

void VTCandyWidget3::SetScale(float s)
{
    scale = s;
    scaleX = s;
    scaleY = s;
    InvalidateTransform();
}

void VTCandyWidget3::SetScaleX(float s)
{
    scaleX = s;
    InvalidateTransform();
}

void VTCandyWidget3::SetScaleY(float s)
{
    scaleY = s;
    InvalidateTransform();
}

void VTCandyWidget3::GetColorScale(float* r, float* g, float* b)
{
    if (r)
        *r = colorR;
    if (g)
        *g = colorG;
    if (b)
        *b = colorB;
}

// ---- masks and particle systems ----

void VTCandyWidget3::SetMaskTexture(std::unique_ptr<VTTexture> texture)
{
    maskTexture_ = std::move(texture);
    if (maskTexture_ && IsVisibleWithAncestors())
        maskTexture_->LoadFrames();
}

VTCandyWidget* VTCandyWidget3::GetMaskWidget() const { return WidgetOfTwin(maskWidgetTwin_.GetObject()); }

void VTCandyWidget3::RemoveParticleSystem(VTParticleSystem3* system)
{
    auto it = std::find(particleSystems_.begin(), particleSystems_.end(), system);
    if (it != particleSystems_.end())
        particleSystems_.erase(it);
}

// ---- update and draw ----

void VTCandyWidget3::UpdateAll(Fw::ModalFlags* mf)
{
    ScriptWidgetWalkScope walk;
    VTCandyWidget::UpdateAll(mf);
}

void VTCandyWidget3::Update()
{
    ScriptWidgetWalkScope walk;
    CallUpdateFn(this);
    VTCandyWidget::Update();
    if (GetMaskWidget())
        PlaceTextures();
    const float seconds = FrameSeconds();
    // By index: a system's update_fn may make another system on this widget.
    for (size_t i = 0; i < particleSystems_.size(); ++i)
        particleSystems_[i]->Update(seconds);
}

void VTCandyWidget3::PlaceTextures()
{
    const Fw::Matrix3& m = GetTransform();
    const Fw::Matrix3 matrix = GetMaskWidget() ? Inverse(m) : m;
    GetScreenBounds();
    const Fw::Rect area = ApplicationArea();
    for (auto& [id, texture] : GetTextures()) {
        texture->SetMatrix(matrix);
        texture->SetClipRect(area);
    }
}

void VTCandyWidget3::Draw(Fw::Graphics* g)
{
    PlaceTextures();
    Fw::Widget::Draw(g);
    if (!g)
        return;
    // The debug title's "NDraws" and drawn area of the frame (the game board resets them).
    gScriptPerf.widgetDraws.fetch_add(1);
    gScriptPerf.pixelsDrawn.fetch_add(static_cast<float>(width) * static_cast<float>(height));
    g->SetColorizeImages(true);
    float a = alpha, r = colorR, gr = colorG, b = colorB;
    for (VTCandyWidget* p = GetEngineParent(); p; p = p->GetEngineParent()) {
        float pr = 1.0f, pg = 1.0f, pb = 1.0f;
        p->GetColorScale(&pr, &pg, &pb);
        a *= p->alpha;
        r *= pr;
        gr *= pg;
        b *= pb;
    }
    g->SetColor(Fw::Color(Channel(r), Channel(gr), Channel(b), Channel(a)));

    VTCandyWidget* maskWidget = GetMaskWidget();
    VTTexture* maskTexture = nullptr;
    if (maskWidget && !maskWidget->GetTextures().empty())
        maskTexture = maskWidget->GetTextures().begin()->second.get();
    for (auto& [id, texture] : GetTextures()) {
        if (maskWidget) {
            texture->maskMatrix = maskWidget->GetTransform();
            texture->mask = maskTexture;
        } else {
            texture->mask = nullptr;
        }
        if (!isMask)
            texture->DrawTransformed(*g);
    }
    if (gDebugSettings && gDebugSettings->showFrames)
        DrawDebugFrame(*g);
    for (VTParticleSystem3* system : particleSystems_)
        system->Draw(*g);
}

void VTCandyWidget3::DrawDebugFrame(Fw::Graphics& g)
{
    if (gDebugSettings->showFramesOnlyDebug && !IsDebug())
        return;
    if (gDebugSettings->showFramesOnlyWithUid && Uid().empty())
        return;
    g.SetColor(hover ? Fw::Color(0, 255, 0, 255) : Fw::Color(255, 255, 255, 255));
    const int32_t x0 = x + 2, y0 = y + 2, x1 = x + width - 2, y1 = y + height - 2;
    g.DrawLine(x0, y0, x1, y0);
    g.DrawLine(x1, y0, x1, y1);
    g.DrawLine(x1, y1, x0, y1);
    g.DrawLine(x0, y1, x0, y0);
}

// ---- mouse ----

bool VTCandyWidget3::HitTest(int32_t x, int32_t y)
{
    if (alwaysHit)
        return true;
    if (maskTexture_)
        return TextureHit(*maskTexture_, x, y);
    bool hit = false;
    for (auto& [id, texture] : GetTextures())
        hit = TextureHit(*texture, x, y) || hit;
    return hit;
}

std::string VTCandyWidget3::MouseOwnerPath()
{
    std::string path = Uid().empty() ? "(unknown)" : Uid();
    for (Fw::WidgetContainer* node = GetParent(); node; node = node->GetParent()) {
        if (!dynamic_cast<Fw::Widget*>(node))
            break; // the manager
        std::string name = "(non-candy3)";
        if (auto* script = dynamic_cast<VTCandyWidget3*>(node)) {
            name = script->Uid();
            if (name.empty()) {
                name = "(unknown)";
                if (VTPythonObject* id = script->ScriptObject().GetAttr("id")) {
                    if (const char* text = id->AsString())
                        name = text;
                    id->Release();
                }
            }
        }
        path = name + "." + path;
    }
    return path;
}

void VTCandyWidget3::MouseEnter()
{
    VTCandyWidget::MouseEnter();
    if (gDebugSettings && gDebugSettings->showMouseOwner && gExtPythonManager)
        if (ScriptApplication* app = gExtPythonManager->GetApplication())
            app->SetWindowTitle(MouseOwnerPath());
}
