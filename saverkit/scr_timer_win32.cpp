#include "saverkit/scr_timer_win32.h"

#include "saverkit/library_win32.h"
#include "saverkit/tick_schedule.h"

#include <mmsystem.h> // after <windows.h>, which the timer's header brings

#include <algorithm>
#include <atomic>

// Missing from older MinGW headers; systems before Windows 10 1803 refuse it, and we fall back.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace nimbrel {

// Shared by the timer (while it runs this thread) and the thread; freed by whichever lets go last.
struct TickThreadBlock {
    HWND window = nullptr;
    CRITICAL_SECTION lock;
    bool active = true;
    bool wait_for_compositor = false;
    std::atomic<std::uint32_t> period_us{0};
    HANDLE wake = nullptr; // manual reset: ends the thread's pacing wait early
    DWORD thread_id = 0;

    TickThreadBlock() {
        InitializeCriticalSection(&lock);
        wake = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    ~TickThreadBlock() {
        if (wake) CloseHandle(wake);
        DeleteCriticalSection(&lock);
    }
    TickThreadBlock(const TickThreadBlock&) = delete;
    TickThreadBlock& operator=(const TickThreadBlock&) = delete;

    bool is_active() {
        EnterCriticalSection(&lock);
        const bool result = active;
        LeaveCriticalSection(&lock);
        return result;
    }
    void deactivate() {
        EnterCriticalSection(&lock);
        active = false;
        SetEvent(wake); // a thread in its pacing wait sees the stop now, not an interval later
        LeaveCriticalSection(&lock);
    }
};

namespace {

// wParam of the kit message on the timer's window.
constexpr WPARAM kStopMe = 4, kTick = 5, kWake = 6;
// Interval answers with a meaning of their own.
constexpr std::uint32_t kAnswerStop = 0xFFFFFFFEu, kAnswerAgain = 0xFFFFFFFFu;

Tick_schedule::Micros now_micros() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return count.QuadPart / frequency * 1000000 + count.QuadPart % frequency * 1000000 / frequency;
}

// The tick thread's waits. Without asking, Windows ends waits only every 15.6 ms: a
// high-resolution waitable timer where the system has one, otherwise a 1 ms timer resolution
// for as long as the thread runs.
class Pacing_wait {
  public:
    explicit Pacing_wait(HANDLE wake) : wake_(wake) {
        // Looked up, not imported: systems before Vista do not have it.
        using Create = HANDLE(WINAPI*)(SECURITY_ATTRIBUTES*, const wchar_t*, DWORD, DWORD);
        const auto create = reinterpret_cast<Create>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateWaitableTimerExW")));
        if (create)
            timer_ =
                create(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
        if (!timer_) resolution_set_ = timeBeginPeriod(1) == TIMERR_NOERROR;
    }
    ~Pacing_wait() {
        if (timer_) CloseHandle(timer_);
        if (resolution_set_) timeEndPeriod(1);
    }
    Pacing_wait(const Pacing_wait&) = delete;
    Pacing_wait& operator=(const Pacing_wait&) = delete;

    // Waits `micros` or until the wake event is set; true when the event ended the wait.
    bool wait(Tick_schedule::Micros micros) {
        if (timer_) {
            LARGE_INTEGER due;
            due.QuadPart = -micros * 10; // relative, in 100 ns
            if (SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE)) {
                const HANDLE handles[2] = {wake_, timer_};
                return WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0;
            }
        }
        const auto ms = static_cast<DWORD>((micros + 999) / 1000);
        return WaitForSingleObject(wake_, ms) == WAIT_OBJECT_0;
    }

  private:
    HANDLE wake_;
    HANDLE timer_ = nullptr;
    bool resolution_set_ = false;
};

DWORD WINAPI tick_thread(void* parameter) {
    std::unique_ptr<std::shared_ptr<TickThreadBlock>> holder(
        static_cast<std::shared_ptr<TickThreadBlock>*>(parameter));
    TickThreadBlock& block = **holder;
    const HWND window = block.window;
    // The block's address tells the window which thread a tick comes from.
    const LPARAM identity = reinterpret_cast<LPARAM>(&block);
    Pacing_wait pacing(block.wake);
    // DwmFlush returns when the compositor has shown its next frame; none without its library.
    std::unique_ptr<Library> dwm;
    if (block.wait_for_compositor) dwm = std::make_unique<Library>("dwmapi.dll");
    using Flush = HRESULT(WINAPI*)();
    const Flush flush = dwm ? dwm->entry<Flush>("DwmFlush") : nullptr;
    Tick_schedule schedule;

    bool quit = false, waiting = false;
    MSG message{};
    while (!quit) {
        if (waiting) {
            quit = GetMessageA(&message, nullptr, 0, 0) <= 0;
            continue;
        }
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) && message.message == WM_QUIT) break;
        // A stop may come before this thread had a message queue to receive the quit in.
        if (!block.is_active()) break;

        schedule.tick_started(now_micros());
        const auto answer =
            static_cast<std::uint32_t>(SendMessageA(window, CM_SCR, kTick, identity));
        if (answer == kAnswerStop) {
            waiting = true;
            PostMessageA(window, CM_SCR, kStopMe, identity);
        } else if (answer != kAnswerAgain) {
            // The next tick is due an interval after this one was due, so late ticks do not slow
            // the average; one that fell far behind starts the schedule again instead of being
            // followed by a burst.
            if (flush) flush();
            const std::uint32_t period_us = block.period_us;
            const Tick_schedule::Micros wait = schedule.wait_after_tick(
                now_micros(), period_us != 0 ? Tick_schedule::Micros{period_us}
                                             : Tick_schedule::Micros{answer} * 1000);
            if (wait == 0) {
                SwitchToThread();
            } else if (pacing.wait(wait)) {
                ResetEvent(block.wake);
                schedule.restart(); // a new interval, or a stop: either way not the old pace
            }
        }
    }
    return 0;
}

// Waits for a thread while answering the messages other threads send to this one, so a tick
// thread blocked in its send to us can see that it was stopped.
void wait_for_thread(HANDLE thread, DWORD limit_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= limit_ms) return;
        const DWORD result =
            MsgWaitForMultipleObjects(1, &thread, FALSE, limit_ms - elapsed, QS_SENDMESSAGE);
        if (result != WAIT_OBJECT_0 + 1) return;
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
TScrTimer::TScrTimer() {
    window_ = std::make_unique<TUtilityWindow>(
        [this](HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
            return TimerWndProc(window, message, wparam, lparam);
        });
    UpdateTimer();
}

TScrTimer::~TScrTimer() {
    StopThread();
    // Five seconds for them all: a thread that hangs must not hold the program's end for long.
    const DWORD start = GetTickCount();
    for (HANDLE thread : stopping_) {
        const DWORD spent = GetTickCount() - start;
        wait_for_thread(thread, spent < 5000 ? 5000 - spent : 0);
        CloseHandle(thread);
    }
}

void TScrTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    UpdateTimer();
}

void TScrTimer::SetInterval(std::uint32_t interval) {
    if (interval == interval_) return;
    const bool starts_or_stops = (interval == 0) != (interval_ == 0);
    interval_ = interval;
    if (starts_or_stops)
        UpdateTimer();
    else
        WakeThread();
}

void TScrTimer::SetPeriodMicros(std::uint32_t micros) {
    if (micros == period_us_) return;
    period_us_ = micros;
    if (block_) block_->period_us = micros;
    WakeThread();
}

void TScrTimer::SetWaitForCompositor(bool wait) {
    if (wait == wait_for_compositor_) return;
    wait_for_compositor_ = wait;
    if (block_) UpdateTimer(); // the thread reads it when it starts
}

void TScrTimer::SetOnTimer(TNotifyEvent handler) {
    on_timer_ = std::move(handler);
    UpdateTimer();
}

void TScrTimer::UpdateTimer() {
    if (!window_) return;
    StopThread();
    if (interval_ != 0 && enabled_ && on_timer_) StartThread();
}

void TScrTimer::StartThread() {
    if (!window_ || block_) return;
    reap_stopped_threads();

    auto block = std::make_shared<TickThreadBlock>();
    block->window = window_->Handle();
    block->wait_for_compositor = wait_for_compositor_;
    block->period_us = period_us_;
    auto* holder = new std::shared_ptr<TickThreadBlock>(block);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 4096, tick_thread, holder, CREATE_SUSPENDED, &id);
    if (!thread) {
        delete holder;
        return;
    }
    block->thread_id = id;
    block_ = std::move(block);
    thread_ = thread;
    SetThreadPriority(thread, GetThreadPriority(GetCurrentThread()) - 1);
    ResumeThread(thread);
}

void TScrTimer::StopThread() {
    if (!block_) return;
    block_->deactivate();
    PostThreadMessageA(block_->thread_id, WM_QUIT, 0, 0);
    block_.reset();
    stopping_.push_back(thread_);
    thread_ = nullptr;
}

void TScrTimer::WakeThread() {
    if (window_) SendMessageA(window_->Handle(), CM_SCR, kWake, 0);
}

LRESULT TScrTimer::TimerWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == CM_SCR) {
        // Ticks and stop requests of a thread that was stopped meanwhile are not acted on.
        const bool from_current = block_ && reinterpret_cast<LPARAM>(block_.get()) == lparam;
        switch (wparam) {
        case kStopMe:
            if (from_current) StopThread();
            return 0;
        case kTick:
            if (from_current) Timer();
            return static_cast<LRESULT>(interval_);
        case kWake:
            if (block_) SetEvent(block_->wake);
            return 0;
        default:
            break;
        }
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

void TScrTimer::Timer() {
    if (on_timer_) on_timer_();
}

void TScrTimer::reap_stopped_threads() {
    const auto ended = [](HANDLE thread) {
        if (WaitForSingleObject(thread, 0) != WAIT_OBJECT_0) return false;
        CloseHandle(thread);
        return true;
    };
    stopping_.erase(std::remove_if(stopping_.begin(), stopping_.end(), ended), stopping_.end());
}

} // namespace nimbrel
