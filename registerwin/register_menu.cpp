#include "registerwin/register_menu.h"

#include <iterator>

namespace quillet::registerwin {

HMENU MakeRegisterMenu() {
    HMENU file = ::CreatePopupMenu();
    ::AppendMenuW(file, MF_STRING, kNewRegisterCommand, L"&New register\u2026");
    ::AppendMenuW(file, MF_STRING, kOpenRegisterCommand, L"&Open register\u2026\tCtrl+O");
    ::AppendMenuW(file, MF_STRING, kBackupCommand, L"&Back up\u2026");
    ::AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(file, MF_STRING, kCloseCommand, L"&Close\tCtrl+W");
    HMENU network = ::CreatePopupMenu();
    ::AppendMenuW(network, MF_STRING, kAddNetworkCommand, L"&Add network\u2026");
    ::AppendMenuW(network, MF_STRING, kPrintHistoryCommand, L"Print &history\u2026");
    HMENU verification = ::CreatePopupMenu();
    ::AppendMenuW(verification, MF_STRING, kOpenMeasurementCommand, L"Open &measurement");
    ::AppendMenuW(verification, MF_STRING, kPrintRecordCommand, L"&Print record\u2026\tCtrl+P");
    ::AppendMenuW(verification, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(verification, MF_STRING, kWithdrawCommand, L"&Withdraw\u2026");
    HMENU bar = ::CreateMenu();
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&Register");
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(network), L"&Network");
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(verification), L"&Verification");
    return bar;
}

HACCEL MakeRegisterAccelerators() {
    ACCEL keys[] = {
        {FCONTROL | FVIRTKEY, 'O', kOpenRegisterCommand},
        {FCONTROL | FVIRTKEY, 'W', kCloseCommand},
        {FCONTROL | FVIRTKEY, 'P', kPrintRecordCommand},
    };
    return ::CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
}

}  // namespace quillet::registerwin
