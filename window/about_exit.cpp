#include "window/about_exit.h"

#include "window/calculate_deviation.h"
#include "window/window_model.h"

namespace quillet {

const std::string_view kAboutMessage =
    "After entering the impedance data (frequency,\r\n"
    "magnitude and phase) of the artifical network\r\n"
    "(AN) and pressing ''Calculate'', the software\r\n"
    "will return the maximum deviation (dB) of the\r\n"
    "measured voltage level from the reference vol-\r\n"
    "tage level. When using an AN together with a \r\n"
    "measuring receiver, the reference voltage level\r\n"
    "will be measured for any EUT source impedance\r\n"
    "if the AN impedance agrees with the nominal\r\n"
    "impedance.The magnitude of the EUT reflection\r\n"
    "coefficient will approach 1. As it is not easy\r\n"
    "to predict the phase for the maximum deviation,\r\n"
    "the phase is shown as the second result.\r\n"
    "\r\n"
    "\r\n"
    "Quillet";

void WindowModel::PbInfo_Click() { window_.ShowMessage(kAboutMessage, kApplicationTitle); }

void WindowModel::PbExit_Click() { window_.Unload(); }

}  // namespace quillet
