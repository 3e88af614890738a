#include "workflow/InterfaceText.h"

#include "resources/resource.h"

namespace vantaro {

const std::array<CaptionKey, 14> kCaptionKeys = {{
    {"Dial_Setting", IDC_DIAL_GROUP},
    {"TEL", IDC_PHONE_LABEL},
    {"USER", IDC_USER_LABEL},
    {"PWD", IDC_PASSWORD_LABEL},
    {"INIT", IDC_INIT_LABEL},
    {"CONN_TYPE", IDC_CONNECTION_TYPE_LABEL},
    {"ABORT_DRIVER", IDC_DRIVER_GROUP},
    {"CONNECT", IDC_DIAL},
    {"DISCONNECT", IDC_DISCONNECT},
    {"SAVESETTING", IDC_SAVE},
    {"DRIVERIN", IDC_INSTALL},
    {"ABORT", IDC_ABOUT},
    {"Cancel", IDC_EXIT},
    {"lan", IDC_LANGUAGE_LABEL},
}};

} // namespace vantaro
