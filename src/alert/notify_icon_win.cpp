#include "alert/notify_icon_win.h"

#include <shellapi.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

#include "ui/gdi.h"
#include "ui/messages.h"
#include "ui/status_colors.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr UINT iconId = 1;

// What the window's thread asks of the shell thread. Shared by both, and kept alive by a
// shell thread that was left behind in a hung call.
struct IconRequests {
    std::mutex mutex;
    std::condition_variable changed;
    std::optional<TrayState> state;  // the newest state not yet taken
    std::deque<Balloon> balloons;
    bool addAgain = false;
    bool stop = false;
    bool ended = false;  // the shell thread took the icon away and ends
};

// The window's thread only.
std::shared_ptr<IconRequests> requests;
std::thread shellThread;

using OwnedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, decltype(&DestroyIcon)>;

// The lamp as an icon of `size` pixels: a disc in `fill` with the lamps' outline, drawn as the
// window draws its lamps, on a transparent ground. GDI leaves the alpha of what it draws at 0,
// and no colour of a lamp is black, so every pixel that is not black is made opaque.
HICON drawLampIcon(COLORREF fill, int size) {
    BITMAPINFO format{};
    BITMAPINFOHEADER& header = format.bmiHeader;
    header.biSize = sizeof header;
    header.biWidth = size;
    header.biHeight = -size;  // top row first
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    const GdiObject<HBITMAP> colour(
        CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    const int maskStride = (size + 15) / 16 * 2;  // rows of whole 16-bit words
    std::vector<BYTE> maskBits(static_cast<std::size_t>(maskStride * size), 0);
    const std::unique_ptr<std::remove_pointer_t<HDC>, decltype(&DeleteDC)> dc(
        CreateCompatibleDC(nullptr), DeleteDC);
    if (!colour.get() || !dc) return nullptr;
    {
        const SolidBrush brush(fill);
        const SolidPen pen(lampOutlineColour, static_cast<UINT>(MulDiv(size, baseDpi, 16)));
        const SelectGuard bitmapSelection(dc.get(), colour.get());
        const SelectGuard brushSelection(dc.get(), brush.get());
        const SelectGuard penSelection(dc.get(), pen.get());
        Ellipse(dc.get(), 0, 0, size, size);
        GdiFlush();
    }
    auto* pixels = static_cast<DWORD*>(bits);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            DWORD& pixel = pixels[y * size + x];
            if (pixel & 0x00FFFFFF) {
                pixel |= 0xFF000000;
            } else {
                maskBits[static_cast<std::size_t>(y * maskStride + x / 8)] |= 0x80 >> (x % 8);
            }
        }
    }
    const GdiObject<HBITMAP> mask(CreateBitmap(size, size, 1, 1, maskBits.data()));
    ICONINFO parts{TRUE, 0, 0, mask.get(), colour.get()};
    return CreateIconIndirect(&parts);
}

// The three lamps at the size the notification area shows, drawn once per shell thread.
struct LampIcons {
    const int size = GetSystemMetrics(SM_CXSMICON);
    const OwnedIcon green{drawLampIcon(answeredColour, size), DestroyIcon};
    const OwnedIcon red{drawLampIcon(failedColour, size), DestroyIcon};
    const OwnedIcon grey{drawLampIcon(unknownColour, size), DestroyIcon};

    HICON of(TrayLamp lamp) const {
        return (lamp == TrayLamp::green ? green : lamp == TrayLamp::red ? red : grey).get();
    }
};

bool sameState(const TrayState& a, const TrayState& b) {
    return a.lamp == b.lamp && a.tip == b.tip;
}

// The icon as the shell thread knows it.
class ShellIcon {
public:
    explicit ShellIcon(HWND window) : window_(window) {}

    // Adds the icon, or finds the shell has it already; else offers it again later.
    void add(const TrayState& state) {
        NOTIFYICONDATAW data = dataOf(state);
        added_ = Shell_NotifyIconW(NIM_ADD, &data) || Shell_NotifyIconW(NIM_MODIFY, &data);
        if (added_) {
            data.uVersion = NOTIFYICON_VERSION_4;
            Shell_NotifyIconW(NIM_SETVERSION, &data);
            shown_ = state;
            retryUntil_.reset();
            return;
        }
        const Clock::time_point now = Clock::now();
        if (!retryUntil_) retryUntil_ = now + notifyIconRetryLimit;
        nextTry_ = now + notifyIconRetryEvery;
        if (nextTry_ > *retryUntil_) retryUntil_.reset();  // given up
    }

    void show(const TrayState& state) {
        if (!added_ || sameState(state, shown_)) return;
        NOTIFYICONDATAW data = dataOf(state);
        Shell_NotifyIconW(NIM_MODIFY, &data);
        shown_ = state;
    }

    void show(const Balloon& balloon) {
        NOTIFYICONDATAW data = dataOf(shown_);
        data.uFlags = NIF_INFO | NIF_SHOWTIP;
        lstrcpynW(data.szInfoTitle, balloon.title.c_str(), ARRAYSIZE(data.szInfoTitle));
        lstrcpynW(data.szInfo, balloon.text.c_str(), ARRAYSIZE(data.szInfo));
        data.dwInfoFlags = balloon.warning ? NIIF_WARNING : NIIF_INFO;
        Shell_NotifyIconW(NIM_MODIFY, &data);
    }

    void remove() {
        if (!added_) return;
        NOTIFYICONDATAW data = dataOf(shown_);
        Shell_NotifyIconW(NIM_DELETE, &data);
        added_ = false;
    }

    bool added() const { return added_; }
    bool retrying() const { return retryUntil_.has_value(); }
    Clock::time_point nextTry() const { return nextTry_; }

private:
    NOTIFYICONDATAW dataOf(const TrayState& state) const {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = window_;
        data.uID = iconId;
        data.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE | NIF_SHOWTIP;
        data.uCallbackMessage = WM_APP_NOTIFYICON;
        data.hIcon = icons_.of(state.lamp);
        lstrcpynW(data.szTip, state.tip.c_str(), ARRAYSIZE(data.szTip));
        return data;
    }

    HWND window_;
    LampIcons icons_;
    bool added_ = false;
    TrayState shown_;
    std::optional<Clock::time_point> retryUntil_;  // set while a refused icon is offered again
    Clock::time_point nextTry_;
};

// The shell thread: waits for requests (or the next offer of a refused icon) and makes the
// calls. Balloons wait while a refused icon is offered again, and are dropped when it is given
// up. The icon goes at the end.
void serveIcon(IconRequests& shared, HWND window, TrayState state) {
    ShellIcon icon(window);
    bool addAgain = true;
    std::deque<Balloon> balloons;
    for (;;) {
        if (addAgain || (icon.retrying() && Clock::now() >= icon.nextTry())) icon.add(state);
        icon.show(state);
        for (; icon.added() && !balloons.empty(); balloons.pop_front()) icon.show(balloons.front());
        if (!icon.added() && !icon.retrying()) balloons.clear();

        std::unique_lock lock(shared.mutex);
        const auto asked = [&] {
            return shared.stop || shared.addAgain || shared.state || !shared.balloons.empty();
        };
        if (icon.retrying()) {
            shared.changed.wait_until(lock, icon.nextTry(), asked);
        } else {
            shared.changed.wait(lock, asked);
        }
        if (shared.stop) break;
        addAgain = std::exchange(shared.addAgain, false);
        if (shared.state) state = *std::exchange(shared.state, std::nullopt);
        for (; !shared.balloons.empty(); shared.balloons.pop_front())
            balloons.push_back(std::move(shared.balloons.front()));
    }
    icon.remove();
}

// Hands a request to the shell thread, if there is one.
template <typename Change>
void ask(Change change) {
    if (!requests) return;
    {
        const std::scoped_lock lock(requests->mutex);
        change(*requests);
    }
    requests->changed.notify_all();
}

}  // namespace

void startNotifyIcon(HWND window, const TrayState& state) {
    auto shared = std::make_shared<IconRequests>();
    try {
        shellThread = std::thread([shared, window, state] {
            try {
                serveIcon(*shared, window, state);
            } catch (const std::bad_alloc&) {
                // Out of memory the icon is given up; an exception leaving the thread would end
                // the program.
            }
            const std::scoped_lock lock(shared->mutex);
            shared->ended = true;
            shared->changed.notify_all();
        });
    } catch (const std::system_error&) {
        return;  // no icon; the window goes on without it
    }
    requests = std::move(shared);
}

void showTrayState(const TrayState& state) {
    ask([&](IconRequests& shared) { shared.state = state; });
}

void showBalloon(const Balloon& balloon) {
    ask([&](IconRequests& shared) { shared.balloons.push_back(balloon); });
}

void addNotifyIconAgain() {
    ask([](IconRequests& shared) { shared.addAgain = true; });
}

void stopNotifyIcon() {
    if (!requests) return;
    std::unique_lock lock(requests->mutex);
    requests->stop = true;
    requests->changed.notify_all();
    const bool ended =
        requests->changed.wait_for(lock, notifyIconStopLimit, [] { return requests->ended; });
    lock.unlock();
    if (ended) {
        shellThread.join();
    } else {
        shellThread.detach();
    }
    requests.reset();
}

UINT taskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}
