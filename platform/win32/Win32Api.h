#pragma once
// <windows.h> for the adapters, without the A/W macros that would rename the ports' methods
// (LoadBitmap, FindWindow, SendMessage, ...). The adapters call the A functions by name.
#include <windows.h>

#undef LoadBitmap
#undef FindWindow
#undef SendMessage
#undef PostMessage
#undef GetVersionEx
#undef CreateDialog
