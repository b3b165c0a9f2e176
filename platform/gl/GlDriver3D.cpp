// The OpenGL adapter: which context the devices use, the renderer's identity, the video memory
// the driver reports and the loaded driver library's file.
#define GL_GLEXT_PROTOTYPES 1
#include "platform/MemorySurface.h"
#include "platform/gl/GlDevice3D.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <link.h>

namespace Platform {

namespace {

// GL_NVX_gpu_memory_info and GL_ATI_meminfo (values in KiB); GLX_MESA_query_renderer (MiB).
constexpr GLenum kNvxTotalAvailableKiB = 0x9048;
constexpr GLenum kAtiTextureFreeMemory = 0x87FC;
constexpr int kGlxRendererVideoMemoryMesa = 0x8187;

bool HasGlExtension(const char* name)
{
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i)
        if (const auto* ext = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, GLuint(i))))
            if (std::strcmp(ext, name) == 0)
                return true;
    return false;
}

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// A loaded object's file name that is an OpenGL driver, best first: Mesa's DRI and Gallium
// drivers, then the vendor libraries of glvnd.
int DriverRank(const std::string& path)
{
    const std::string name = Lower(path.substr(path.find_last_of('/') + 1));
    if (name.find("_dri.so") != std::string::npos)
        return 4;
    if (name.rfind("libgallium", 0) == 0)
        return 3;
    if (name.rfind("libnvidia-glcore", 0) == 0)
        return 3;
    if (name.rfind("libglx_", 0) == 0 || name.rfind("libegl_", 0) == 0)
        return 1;
    return 0;
}

} // namespace

std::string LoadedGlDriverPath()
{
    struct Best {
        std::string path;
        int rank = 0;
    } best;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* b = static_cast<Best*>(data);
            if (info->dlpi_name && *info->dlpi_name) {
                const int rank = DriverRank(info->dlpi_name);
                if (rank > b->rank) {
                    b->rank = rank;
                    b->path = info->dlpi_name;
                }
            }
            return 0;
        },
        &best);
    return best.path;
}

uint64_t QueryGlVideoMemory(GlContext& context)
{
    if (!context.MakeCurrent())
        return 0;
    GLint kib[4] = {};
    if (HasGlExtension("GL_NVX_gpu_memory_info")) {
        glGetIntegerv(kNvxTotalAvailableKiB, kib);
        if (kib[0] > 0)
            return uint64_t(kib[0]) << 10;
    }
    if (HasGlExtension("GL_ATI_meminfo")) {
        glGetIntegerv(kAtiTextureFreeMemory, kib);
        if (kib[0] > 0)
            return uint64_t(kib[0]) << 10;
    }
    if (context.Window() != 0) {
        // Answers only for a current GLX context (false for EGL ones).
        using Query = Bool (*)(int, unsigned int*);
        auto query = reinterpret_cast<Query>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXQueryCurrentRendererIntegerMESA")));
        unsigned int mib = 0;
        if (query && glXGetCurrentContext() && query(kGlxRendererVideoMemoryMesa, &mib) && mib > 0)
            return uint64_t(mib) << 20;
    }
    return 0;
}

std::shared_ptr<GlContext> GlDriver3D::Context()
{
    if (context_ && context_->IsAlive())
        return context_;
    context_.reset();
    std::string why;
    if (window_) {
        context_ = CreateWindowGlContext(window_, &why);
        if (context_) {
            note_ = "the window's own OpenGL context";
            return context_;
        }
        note_ = "headless OpenGL context (window: " + why + ")";
    } else {
        note_ = "headless OpenGL context";
    }
    context_ = HeadlessGlContext(&why);
    if (!context_)
        note_ = "no OpenGL context: " + why;
    return context_;
}

void GlDriver3D::SetTargetWindow(WindowId window)
{
    if (window == window_ && context_ && context_->IsAlive())
        return;
    window_ = window;
    context_.reset();
}

bool GlDriver3D::ProbeNewerAdapterIdentity(AdapterIdentity&) { return false; }

HRESULT GlDriver3D::GetDeviceIdentifier(AdapterIdentity& out)
{
    const std::shared_ptr<GlContext> ctx = Context();
    if (!ctx || !ctx->MakeCurrent())
        return DDERR_GENERIC;
    const std::string loaded = LoadedGlDriverPath();
    out.driverName = loaded.empty() ? driverPath : loaded;
    out.description = ctx->RendererName();
    return DD_OK;
}

HRESULT GlDriver3D::GetAvailableVidMem(uint64_t& total)
{
    const std::shared_ptr<GlContext> ctx = Context();
    const uint64_t asked = ctx ? QueryGlVideoMemory(*ctx) : 0;
    total = asked ? asked : videoMemory;
    return DD_OK;
}

HRESULT GlDriver3D::CreateRenderTarget(int32_t width, int32_t height, Surface** out)
{
    return MemorySurface::Create(width, height, desktop.bitDepth == 16 ? kFormat565 : kFormatX8R8G8B8,
                                 DDSCAPS_3DDEVICE | DDSCAPS_OFFSCREENPLAIN, 0, out);
}

HRESULT GlDriver3D::CreateDevice(Surface* target, std::unique_ptr<Device3D>& out)
{
    out = CreateGlDevice3D(Context(), target, false);
    return out ? DD_OK : DDERR_GENERIC;
}

HRESULT GlDriver3D::CreateWindowDevice(Surface* target, std::unique_ptr<Device3D>& out)
{
    out.reset();
    const std::shared_ptr<GlContext> ctx = Context();
    if (!ctx || ctx->Window() == 0)
        return DDERR_UNSUPPORTED;
    out = CreateGlDevice3D(ctx, target, true);
    return out ? DD_OK : DDERR_GENERIC;
}

} // namespace Platform
