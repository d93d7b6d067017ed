#include "resources/resource_reader.h"

#include <cstring>

#include "support/wide_print.h"

UniqueModule LoadAsDataFile(const wchar_t* path) {
    return UniqueModule(
        LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

bool ReadResource(HMODULE module, const wchar_t* type, unsigned id, std::string* bytes) {
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!info)
        return false;
    HGLOBAL loaded = LoadResource(module, info);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return false;
    bytes->assign(static_cast<const char*>(data), SizeofResource(module, info));
    return true;
}

namespace {

std::string NameText(const wchar_t* name) {
    if (IS_INTRESOURCE(name))
        return std::to_string(reinterpret_cast<ULONG_PTR>(name));
    return Utf8(name);
}

struct Listing {
    std::vector<std::string>* out;
    std::string type;
    std::string name;
};

BOOL CALLBACK OnLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
    auto* listing = reinterpret_cast<Listing*>(param);
    listing->out->push_back(listing->type + "/" + listing->name + "/" + std::to_string(language));
    return TRUE;
}

BOOL CALLBACK OnName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
    auto* listing = reinterpret_cast<Listing*>(param);
    listing->name = NameText(name);
    EnumResourceLanguagesW(module, type, name, OnLanguage, param);
    return TRUE;
}

BOOL CALLBACK OnType(HMODULE module, LPWSTR type, LONG_PTR param) {
    auto* listing = reinterpret_cast<Listing*>(param);
    listing->type = NameText(type);
    EnumResourceNamesW(module, type, OnName, param);
    return TRUE;
}

// Reads template fields in order, never past the end of the bytes.
class TemplateCursor {
  public:
    explicit TemplateCursor(const std::string& bytes) : bytes_(bytes) {}

    template <typename T> bool Read(T* value) {
        if (failed_ || pos_ + sizeof(T) > bytes_.size())
            return Fail();
        std::memcpy(value, bytes_.data() + pos_, sizeof(T));
        pos_ += sizeof(T);
        return true;
    }

    bool ReadString(std::wstring* text) {
        text->clear();
        for (;;) {
            WORD c = 0;
            if (!Read(&c))
                return false;
            if (c == 0)
                return true;
            text->push_back(static_cast<wchar_t>(c));
        }
    }

    bool ReadNameOrOrdinal(NameOrOrdinal* field) {
        WORD first = 0;
        if (!Read(&first))
            return false;
        if (first == 0xFFFF) {
            field->isOrdinal = true;
            return Read(&field->ordinal);
        }
        field->isOrdinal = false;
        field->text.clear();
        if (first == 0)
            return true;
        std::wstring rest;
        if (!ReadString(&rest))
            return false;
        field->text = static_cast<wchar_t>(first) + rest;
        return true;
    }

    // Items start on a DWORD boundary of the template.
    void AlignToDword() { pos_ = (pos_ + 3) & ~static_cast<size_t>(3); }
    bool Skip(size_t n) {
        if (failed_ || pos_ + n > bytes_.size())
            return Fail();
        pos_ += n;
        return true;
    }

  private:
    bool Fail() {
        failed_ = true;
        return false;
    }
    const std::string& bytes_;
    size_t pos_ = 0;
    bool failed_ = false;
};

} // namespace

std::vector<std::string> ListResources(HMODULE module) {
    std::vector<std::string> out;
    Listing listing{&out, "", ""};
    EnumResourceTypesW(module, OnType, reinterpret_cast<LONG_PTR>(&listing));
    return out;
}

bool ParseDialogTemplate(const std::string& bytes, DialogTemplate* d) {
    TemplateCursor in(bytes);
    WORD count = 0;
    if (!in.Read(&d->version) || !in.Read(&d->signature) || d->version != 1 ||
        d->signature != 0xFFFF)
        return false;
    if (!in.Read(&d->helpId) || !in.Read(&d->exStyle) || !in.Read(&d->style) || !in.Read(&count) ||
        !in.Read(&d->x) || !in.Read(&d->y) || !in.Read(&d->cx) || !in.Read(&d->cy) ||
        !in.ReadNameOrOrdinal(&d->menu) || !in.ReadNameOrOrdinal(&d->windowClass) ||
        !in.ReadString(&d->title))
        return false;
    if (d->style & (DS_SETFONT | DS_SHELLFONT)) {
        if (!in.Read(&d->pointSize) || !in.Read(&d->weight) || !in.Read(&d->italic) ||
            !in.Read(&d->charset) || !in.ReadString(&d->typeface))
            return false;
    }
    d->items.clear();
    for (WORD i = 0; i < count; ++i) {
        DialogItem item;
        in.AlignToDword();
        if (!in.Read(&item.helpId) || !in.Read(&item.exStyle) || !in.Read(&item.style) ||
            !in.Read(&item.x) || !in.Read(&item.y) || !in.Read(&item.cx) || !in.Read(&item.cy) ||
            !in.Read(&item.id) || !in.ReadNameOrOrdinal(&item.windowClass) ||
            !in.ReadNameOrOrdinal(&item.title) || !in.Read(&item.extraCount) ||
            !in.Skip(item.extraCount))
            return false;
        d->items.push_back(item);
    }
    return true;
}
