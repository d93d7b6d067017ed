#include "engine/messages.h"

#include <windows.h>

void LoadMessage(unsigned id, wchar_t* buf, std::size_t capacity) {
    if (capacity == 0)
        return;
    buf[0] = L'\0';
    if (capacity > 0x7fffffff)
        capacity = 0x7fffffff;
    if (LoadStringW(GetModuleHandleW(nullptr), id, buf, static_cast<int>(capacity)) <= 0)
        buf[0] = L'\0';
}
