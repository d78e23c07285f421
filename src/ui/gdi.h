#pragma once
// Small owners for GDI objects. Create the object first, then the selection guard: the
// guards are destroyed in reverse order, so the previous object is always selected back
// before the new one is deleted, on every path.

#include <windows.h>

// Owns one brush or pen and deletes it with the owner.
template <typename Handle>
class GdiObject {
public:
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() {
        if (handle_) DeleteObject(handle_);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    Handle get() const { return handle_; }

private:
    Handle handle_;
};

class SolidBrush : public GdiObject<HBRUSH> {
public:
    explicit SolidBrush(COLORREF colour) : GdiObject(CreateSolidBrush(colour)) {}
};

// One pixel wide, as every line the program draws.
class SolidPen : public GdiObject<HPEN> {
public:
    explicit SolidPen(COLORREF colour) : GdiObject(CreatePen(PS_SOLID, 1, colour)) {}
};

// Selects an object into a device context for the guard's lifetime. A null object selects
// nothing.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectGuard() {
        if (previous_) SelectObject(dc_, previous_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// An off-screen bitmap compatible with `target`, selected into its own memory DC. Paint into
// dc(), then copyTo() puts the whole picture on the target in one BitBlt.
class BackBuffer {
public:
    BackBuffer(HDC target, int width, int height)
        : width_(width),
          height_(height),
          dc_(CreateCompatibleDC(target)),
          bitmap_(CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1)),
          previous_(dc_ && bitmap_ ? SelectObject(dc_, bitmap_) : nullptr) {}
    ~BackBuffer() {
        if (previous_) SelectObject(dc_, previous_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
    }
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    bool ok() const { return previous_ != nullptr; }
    HDC dc() const { return dc_; }
    void copyTo(HDC target) const { BitBlt(target, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY); }

private:
    int width_;
    int height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};

// BeginPaint/EndPaint as one scope.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};
