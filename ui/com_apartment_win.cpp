#include "ui/com_apartment.h"

#include <windows.h>
// After windows.h, which it needs.
#include <objbase.h>

namespace orvello::ui {

ComApartment::ComApartment()
    : initialised_(
          SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
}

// Every successful CoInitializeEx, S_FALSE included, is balanced by one CoUninitialize.
ComApartment::~ComApartment() {
    if (initialised_) ::CoUninitialize();
}

}  // namespace orvello::ui
