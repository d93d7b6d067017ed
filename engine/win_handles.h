// Small move-only owners for Win32 handles, so every handle is released on
// every path. One template serves all kinds; each kind names its closer.
#pragma once

#include <windows.h>

#include <utility>

template <typename T, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T h) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Traits::Invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) {
            reset();
            h_ = std::exchange(o.h_, Traits::Invalid());
        }
        return *this;
    }

    T get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::Invalid(); }
    // For APIs that return a handle through an out parameter.
    T* put() {
        reset();
        return &h_;
    }
    T release() { return std::exchange(h_, Traits::Invalid()); }
    void reset(T h = Traits::Invalid()) {
        if (h_ != Traits::Invalid())
            Traits::Close(h_);
        h_ = h;
    }

private:
    T h_ = Traits::Invalid();
};

struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct RegKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};
struct ModuleTraits {
    static HMODULE Invalid() { return nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};
struct GdiObjectTraits {
    static HGDIOBJ Invalid() { return nullptr; }
    static void Close(HGDIOBJ h) { DeleteObject(h); }
};
struct FontTraits {
    static HFONT Invalid() { return nullptr; }
    static void Close(HFONT h) { DeleteObject(h); }
};

using UniqueFile = UniqueHandle<HANDLE, FileHandleTraits>;
using UniqueRegKey = UniqueHandle<HKEY, RegKeyTraits>;
using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>;
using UniqueFont = UniqueHandle<HFONT, FontTraits>;

// Releases a COM interface pointer.
template <typename I>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    I* get() const { return p_; }
    I* operator->() const { return p_; }
    I** put() {
        reset();
        return &p_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset() {
        if (p_)
            p_->Release();
        p_ = nullptr;
    }
    explicit operator bool() const { return p_ != nullptr; }

private:
    I* p_ = nullptr;
};
