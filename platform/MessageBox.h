// Modal message boxes with the Windows vocabulary the framework speaks: MB_* style bits in,
// ID* answers out. The SDL implementation shows a real box; tests install the scripted fake.
#pragma once
#include <cstdint>
#include <string>

namespace Platform {

// Button sets (low 4 bits of the style).
constexpr uint32_t kMbOk = 0x0;
constexpr uint32_t kMbOkCancel = 0x1;
constexpr uint32_t kMbAbortRetryIgnore = 0x2;
constexpr uint32_t kMbYesNoCancel = 0x3;
constexpr uint32_t kMbYesNo = 0x4;
constexpr uint32_t kMbRetryCancel = 0x5;
// Icons.
constexpr uint32_t kMbIconError = 0x10;
constexpr uint32_t kMbIconQuestion = 0x20;
constexpr uint32_t kMbIconWarning = 0x30;
constexpr uint32_t kMbIconInformation = 0x40;
// Default button: the second or third instead of the first.
constexpr uint32_t kMbDefButton2 = 0x100;
constexpr uint32_t kMbDefButton3 = 0x200;

// Answers.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdIgnore = 5;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Shows text (UTF-8) under caption with the buttons and icon of style, over parent (the
    // platform window's native handle, or null), and waits for the answer. Main thread. When no
    // box can be shown the text goes to the debugger output and the default button is the answer.
    virtual int Show(void* parent, const std::string& text, const std::string& caption, uint32_t style) = 0;
};

// The answer ids of style's buttons in order (e.g. kMbYesNo -> {kIdYes, kIdNo}); an unknown set is OK.
int MessageBoxButtons(uint32_t style, int out[3]);
// The answer of style's default button.
int MessageBoxDefaultAnswer(uint32_t style);

// The process's message boxes: SDL's unless a test installed another. Never null.
MessageBoxService& GetMessageBoxService();
// Installs service (tests); nullptr restores SDL's. Returns the one installed before (nullptr: SDL's).
MessageBoxService* SetMessageBoxService(MessageBoxService* service);

} // namespace Platform
