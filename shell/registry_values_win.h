// The two kinds of registry write the shell integration uses. Results are
// returned for the callers that need them; most ignore them, since a failed
// registry write is never reported.
#pragma once

#include "engine/text_buffer.h"

#include <windows.h>

// The unnamed value of root\path as REG_SZ; RegSetValueW creates every missing
// key along the path.
inline LONG SetDefaultValue(HKEY root, const wchar_t* path, const wchar_t* text) {
    return RegSetValueW(root, path, REG_SZ, text,
                        static_cast<DWORD>(TextLength(text) * sizeof(wchar_t)));
}

// A named REG_SZ value on an open key; the byte length counts the terminating NUL.
inline LONG SetStringValue(HKEY key, const wchar_t* name, const wchar_t* text) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>((TextLength(text) + 1) * sizeof(wchar_t)));
}

inline LONG SetDwordValue(HKEY key, const wchar_t* name, DWORD value) {
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value);
}
