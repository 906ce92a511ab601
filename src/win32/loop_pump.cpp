#include "win32/loop_pump.h"

#include <algorithm>

#include "platform/message_loop.h"
#include "platform/win32_gui_api.h"

namespace sondrix {

namespace {

constexpr const wchar_t* kPumpClass = L"SondrixLoopPump";
constexpr UINT kPumpMessage = WM_APP + 1;
constexpr UINT_PTR kDueTimer = 1;   // the program's next window timer
constexpr UINT_PTR kTurnTimer = 2;  // the next turn inside a modal loop, after input

// HWND_MESSAGE, written out: its macro names the program's own HWND here.
::HWND MessageOnlyParent() {
    return reinterpret_cast<::HWND>(static_cast<intptr_t>(-3));
}

::LRESULT CALLBACK PumpProc(::HWND window, UINT message, ::WPARAM wparam, ::LPARAM lparam) {
    auto* pump = reinterpret_cast<CLoopPump*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (pump != nullptr && (message == kPumpMessage || message == WM_TIMER)) {
        return pump->OnMessage(message, wparam, lparam);
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

CLoopPump::CLoopPump(CMessageLoop& loop) : m_loop(loop) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = PumpProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kPumpClass;
    ::RegisterClassExW(&windowClass);
    m_window = ::CreateWindowExW(0, kPumpClass, L"", 0, 0, 0, 0, 0, MessageOnlyParent(), nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_loop.SetWakeHook([this] { RequestPump(); });
    // Whatever was queued or armed before the pump existed.
    RequestPump();
}

CLoopPump::~CLoopPump() {
    m_loop.SetWakeHook({});
    ::SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    ::DestroyWindow(m_window);
}

void CLoopPump::SetAccelerators(WinHandle window, void* accelerators) {
    m_acceleratorWindow = window;
    m_accelerators = accelerators;
}

void CLoopPump::RequestPump() {
    if (!m_pumpQueued.exchange(true)) {
        ::PostMessageW(m_window, kPumpMessage, 0, 0);
    }
}

void CLoopPump::ArmTimer() {
    if (const auto due = m_loop.MsUntilNextTimer()) {
        ::SetTimer(m_window, kDueTimer,
                   static_cast<UINT>(std::clamp<int64_t>(*due, USER_TIMER_MINIMUM, 0x7FFFFFFF)),
                   nullptr);
    } else {
        ::KillTimer(m_window, kDueTimer);
    }
}

void CLoopPump::Turn() {
    m_loop.ProcessPending();
    ArmTimer();
}

long long CLoopPump::OnMessage(unsigned int message, unsigned long long wparam, long long) {
    if (message == WM_TIMER) {
        ::KillTimer(m_window, wparam);
    }
    // Here only inside a modal loop of the system: one turn, and the next
    // behind the input that waits.
    Turn();
    m_pumpQueued = false;
    if (m_loop.HasPostedMessages()) {
        ::SetTimer(m_window, kTurnTimer, USER_TIMER_MINIMUM, nullptr);
    }
    return 0;
}

bool CLoopPump::RunUntil(const std::function<bool()>& done, int64_t timeoutMs) {
    const int64_t start = m_loop.NowMs();
    while (!done()) {
        const int64_t left = timeoutMs < 0 ? -1 : start + timeoutMs - m_loop.NowMs();
        if (timeoutMs >= 0 && left <= 0) {
            return false;
        }
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(message.wParam));
                return false;
            }
            if (message.hwnd == m_window && message.message == kPumpMessage) {
                // The turn below serves it.
                m_pumpQueued = false;
                continue;
            }
            const ::HWND root =
                message.hwnd != nullptr ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
            const bool taken =
                (m_accelerators != nullptr && root == m_acceleratorWindow &&
                 ::TranslateAcceleratorW(m_acceleratorWindow, static_cast<HACCEL>(m_accelerators),
                                         &message) != 0) ||
                (root != nullptr && ::IsDialogMessageW(root, &message) != 0);
            if (!taken) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
            if (done()) {
                return true;
            }
        }
        if (timeoutMs >= 0 && m_loop.NowMs() - start >= timeoutMs) {
            return done();
        }
        const auto due = m_loop.MsUntilNextTimer();
        if (m_loop.HasPostedMessages() || (due && *due == 0)) {
            Turn();
            continue;
        }
        int64_t wait = due ? *due : left;
        if (left >= 0) {
            wait = std::min(wait, left);
        }
        ::MsgWaitForMultipleObjectsEx(
            0, nullptr,
            wait < 0 ? INFINITE : static_cast<DWORD>(std::min<int64_t>(wait, 0x7FFFFFFF)),
            QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    return true;
}

}  // namespace sondrix
