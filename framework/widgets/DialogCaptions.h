// Button captions of the framework dialog: "YES", "NO", "OK", "CANCEL". The application may
// replace them (e.g. with translated texts) before it makes dialogs.
#pragma once
#include <string>

namespace Fw {

extern std::wstring gDialogYes, gDialogNo, gDialogOk, gDialogCancel;

} // namespace Fw
