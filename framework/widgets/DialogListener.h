// What a framework dialog tells its owner (the application): one of its buttons (ids 1000 and
// 1001) was pressed or clicked. Both do nothing by default.
#pragma once
#include <cstdint>

namespace Fw {

class DialogListener {
public:
    virtual ~DialogListener() = default;
    virtual void DialogButtonDown(int32_t /*dialogId*/, int32_t /*buttonId*/) {}
    virtual void DialogButtonClicked(int32_t /*dialogId*/, int32_t /*buttonId*/) {}
};

} // namespace Fw
