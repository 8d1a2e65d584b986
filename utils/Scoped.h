#pragma once
// Scoped owners of Win32 handles, and ScopeExit. Each frees what it holds
// exactly once, when it goes out of scope, unless it was released first.
// Move-only: a moved-from owner holds nothing.
#include <windows.h>

#include <utility>

// Traits give the handle Type, its Invalid() value and how to Close() it.
template <class Traits>
class TUniqueHandle {
public:
  using Type = typename Traits::Type;

  TUniqueHandle() noexcept = default;
  explicit TUniqueHandle(Type Handle) noexcept : Handle(Handle) {}
  TUniqueHandle(TUniqueHandle&& Other) noexcept : Handle(Other.release()) {}
  TUniqueHandle& operator=(TUniqueHandle&& Other) noexcept {
    if (this != &Other) reset(Other.release());
    return *this;
  }
  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;
  ~TUniqueHandle() { reset(); }

  Type get() const noexcept { return Handle; }
  explicit operator bool() const noexcept { return Handle != Traits::Invalid(); }
  // The caller owns the handle from now on.
  [[nodiscard]] Type release() noexcept { return std::exchange(Handle, Traits::Invalid()); }
  void reset(Type NewHandle = Traits::Invalid()) noexcept {
    Type Old = std::exchange(Handle, NewHandle);
    if (Old != Traits::Invalid()) Traits::Close(Old);
  }

private:
  Type Handle = Traits::Invalid();
};

namespace ScopedTraits {

// Events, processes, threads, ports, mutexes: null when there is none.
struct KernelHandle {
  using Type = HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type H) noexcept { CloseHandle(H); }
};
// CreateFile reports failure as INVALID_HANDLE_VALUE, not null.
struct FileHandle {
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type H) noexcept { CloseHandle(H); }
};
struct FindHandle {
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type H) noexcept { FindClose(H); }
};
struct Icon {
  using Type = HICON;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type H) noexcept { DestroyIcon(H); }
};
struct Menu {
  using Type = HMENU;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type H) noexcept { DestroyMenu(H); }
};
// Fonts, brushes, pens, bitmaps: the object must no longer be selected
// into a DC when it goes.
template <class Handle>
struct GdiObject {
  using Type = Handle;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type H) noexcept { DeleteObject(H); }
};
// A DC the program created (CreateCompatibleDC, CreateDC).
struct CreatedDC {
  using Type = HDC;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type H) noexcept { DeleteDC(H); }
};

}  // namespace ScopedTraits

using TKernelHandle = TUniqueHandle<ScopedTraits::KernelHandle>;
using TFileHandle = TUniqueHandle<ScopedTraits::FileHandle>;
using TFindHandle = TUniqueHandle<ScopedTraits::FindHandle>;
using TIconHandle = TUniqueHandle<ScopedTraits::Icon>;
using TMenuHandle = TUniqueHandle<ScopedTraits::Menu>;
using TCreatedDC = TUniqueHandle<ScopedTraits::CreatedDC>;
using TFontHandle = TUniqueHandle<ScopedTraits::GdiObject<HFONT>>;

// A window's DC from GetDC, given back with ReleaseDC to the same window.
class TWindowDC {
public:
  // Null Window: the screen's DC.
  explicit TWindowDC(HWND Window) noexcept : Window(Window), DC(GetDC(Window)) {}
  TWindowDC(TWindowDC&& Other) noexcept : Window(Other.Window), DC(std::exchange(Other.DC, nullptr)) {}
  TWindowDC& operator=(TWindowDC&& Other) noexcept {
    if (this != &Other) {
      reset();
      Window = Other.Window;
      DC = std::exchange(Other.DC, nullptr);
    }
    return *this;
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  ~TWindowDC() { reset(); }

  HDC get() const noexcept { return DC; }
  HWND window() const noexcept { return Window; }
  explicit operator bool() const noexcept { return DC != nullptr; }
  // The caller gives the DC back to window() from now on.
  [[nodiscard]] HDC release() noexcept { return std::exchange(DC, nullptr); }
  void reset() noexcept {
    if (HDC Old = std::exchange(DC, nullptr)) ReleaseDC(Window, Old);
  }

private:
  HWND Window;
  HDC DC;
};

// Runs a callable when the scope ends, on every way out, unless released.
// Usage: ScopeExit Cleanup([&] { ... });
template <class F>
class ScopeExit {
public:
  explicit ScopeExit(F Fn) : Fn(std::move(Fn)) {}
  ScopeExit(ScopeExit&& Other) : Fn(std::move(Other.Fn)), Armed(std::exchange(Other.Armed, false)) {}
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  ScopeExit& operator=(ScopeExit&&) = delete;
  ~ScopeExit() {
    if (Armed) Fn();
  }

  // The callable will not run.
  void release() noexcept { Armed = false; }

private:
  F Fn;
  bool Armed = true;
};

template <class F>
ScopeExit(F) -> ScopeExit<F>;
