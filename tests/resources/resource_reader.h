// Reads resources of a built executable loaded as a data file (no code runs),
// and decodes extended dialog templates.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "engine/win_handles.h"

// The module of path loaded as an image resource; empty when loading failed.
UniqueModule LoadAsDataFile(const wchar_t* path);

// The bytes of resource (type, id); false when the resource is missing.
bool ReadResource(HMODULE module, const wchar_t* type, unsigned id, std::string* bytes);

// Every resource of the module as "type/name/language", types and names given by
// number or by their text.
std::vector<std::string> ListResources(HMODULE module);

// A name or ordinal field of a template (sz_Or_Ord).
struct NameOrOrdinal {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::wstring text;
};

struct DialogItem {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    NameOrOrdinal windowClass;
    NameOrOrdinal title;
    WORD extraCount = 0;
};

struct DialogTemplate {
    WORD version = 0;
    WORD signature = 0;
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::wstring title;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::wstring typeface;
    std::vector<DialogItem> items;
};

// Decodes a DLGTEMPLATEEX; false when the bytes end early or the header is not
// that of an extended template.
bool ParseDialogTemplate(const std::string& bytes, DialogTemplate* dialog);
