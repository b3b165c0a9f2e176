// Text layout of the drawing context: colour-tagged lines and word wrapping (being written).
#include "framework/graphics/Graphics.h"

namespace Fw {
int32_t Graphics::WriteString(const std::wstring&, int32_t, int32_t, int32_t, int32_t, bool, int32_t, int32_t,
                              int32_t)
{
    return 0;
}
int32_t Graphics::WriteLine(const std::wstring&, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                            int32_t)
{
    return 0;
}
int32_t Graphics::WriteWordWrapped(const Rect&, const std::wstring&, int32_t, int32_t, int32_t*, int32_t, int32_t*,
                                   bool)
{
    return 0;
}
int32_t Graphics::GetWordWrappedHeight(int32_t, const std::wstring&, int32_t, int32_t*)
{
    return 0;
}
} // namespace Fw
