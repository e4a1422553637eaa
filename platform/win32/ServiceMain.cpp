// Service.exe: until the service host lands it only checks its arguments. A start without a
// "/" in the arguments is refused, as the language monitor always passes one.
#include "platform/win32/Win32Api.h"

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
    if (arguments == nullptr || std::strchr(arguments, '/') == nullptr) {
        return 1;
    }
    return 0;
}
