#include "platform/win32/Win32YesNoQuestion.h"

#include "platform/win32/ModulePath.h"

namespace vantaro {

bool Win32YesNoQuestion::Ask(const std::string& text) {
    return ::MessageBoxA(owner_, text.c_str(), ApplicationTitle().c_str(),
                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

} // namespace vantaro
