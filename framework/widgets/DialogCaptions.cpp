#include "framework/widgets/DialogCaptions.h"

namespace Fw {

std::wstring gDialogYes = L"YES";
std::wstring gDialogNo = L"NO";
std::wstring gDialogOk = L"OK";
std::wstring gDialogCancel = L"CANCEL";

} // namespace Fw
