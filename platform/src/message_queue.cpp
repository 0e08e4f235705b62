// Each thread's message queue: posted messages in order, then the quit
// request, then WM_PAINT for windows with an update region, as Windows
// delivers them. Messages sent by the window's own thread call the procedure
// at once; those sent from another thread wait in the queue until the
// window's thread looks at it, which answers them before anything else.
// A thread's queue is made when the thread first needs one and goes with the
// thread, as do its windows.
#include "display.h"
#include "hooks_state.h"
#include "window_state.h"

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>

namespace zdp {
namespace {

constexpr int displayPollMs = 5;
// Windows calls a thread hung once it has not looked at its queue for this long.
constexpr DWORD hungAfterMs = 5000;

struct SentMessage {
    MSG message;
    LRESULT result = 0;
    bool done = false;
};

// Milliseconds since the subset's first message, for MSG::time.
DWORD messageTime() {
    static const auto start = std::chrono::steady_clock::now();
    auto elapsed = std::chrono::steady_clock::now() - start;
    return DWORD(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

struct ThreadQueue {
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> sent;
    bool quitPosted = false;
    int exitCode = 0;
    bool waiting = false; // inside GetMessage with nothing to do
    // When the thread last looked at its queue; a new queue counts as a look.
    DWORD lastLookMs = messageTime();
};

using QueueLock = std::unique_lock<std::recursive_mutex>;

std::map<std::thread::id, ThreadQueue>& queues() {
    static auto* all = new std::map<std::thread::id, ThreadQueue>;
    return *all;
}

std::condition_variable_any& queueSignal() {
    static auto* signal = new std::condition_variable_any;
    return *signal;
}

// Lets go of what the thread held when it ends: its windows (quietly, as
// Windows destroys them then without calling their procedures) and its queue,
// whose waiting senders get 0. The process's first thread ends with the
// process, which keeps everything.
struct ThreadEnd {
    ~ThreadEnd() {
        if (gettid() == getpid()) return;
        StateLock lock(stateMutex());
        const std::thread::id self = std::this_thread::get_id();
        destroyThreadWindowsQuietly(self);
        auto found = queues().find(self);
        if (found == queues().end()) return;
        for (auto& sent : found->second.sent)
            sent->done = true;
        queues().erase(found);
        queueSignal().notify_all();
    }
};

// The calling thread's queue, made on first use. Call with the state lock.
ThreadQueue& ownQueue() {
    static thread_local ThreadEnd end;
    (void)end;
    return queues()[std::this_thread::get_id()];
}

// Another thread's queue, or null when that thread has none (or has ended).
ThreadQueue* queueOf(std::thread::id thread) {
    auto found = queues().find(thread);
    return found == queues().end() ? nullptr : &found->second;
}

MSG makeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return MSG{window, message, wParam, lParam, messageTime(), {0, 0}};
}

// Answers every message other threads have sent to this one, with the
// state lock released while the procedures run.
void answerSentMessages(QueueLock& lock) {
    for (;;) {
        ThreadQueue& queue = ownQueue();
        queue.lastLookMs = messageTime();
        if (queue.sent.empty()) return;
        std::shared_ptr<SentMessage> entry = queue.sent.front();
        queue.sent.pop_front();
        const MSG& message = entry->message;
        lock.unlock();
        LRESULT result =
            callProcedure(message.hwnd, message.message, message.wParam, message.lParam);
        lock.lock();
        entry->result = result;
        entry->done = true;
        queueSignal().notify_all();
    }
}

bool hung(const ThreadQueue& queue) {
    return !queue.waiting && messageTime() - queue.lastLookMs > hungAfterMs;
}

void forgetSent(std::thread::id thread, const std::shared_ptr<SentMessage>& entry) {
    ThreadQueue* queue = queueOf(thread);
    if (!queue) return;
    auto& pending = queue->sent;
    for (auto it = pending.begin(); it != pending.end(); ++it)
        if (*it == entry) {
            pending.erase(it);
            return;
        }
}

// Sends to a window of another thread and waits for its answer, answering
// what is sent to this thread meanwhile; a negative timeout waits for ever.
// A thread that ends meanwhile answers 0.
bool sendAcross(std::thread::id thread, const MSG& message, long timeoutMs, bool abortIfHung,
                LRESULT& result) {
    QueueLock lock(stateMutex());
    ThreadQueue* target = queueOf(thread);
    if (!target || !findWindow(message.hwnd)) {
        setError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    if (abortIfHung && hung(*target)) {
        setError(ERROR_TIMEOUT);
        return false;
    }
    auto entry = std::make_shared<SentMessage>();
    entry->message = message;
    target->sent.push_back(entry);
    queueSignal().notify_all();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!entry->done) {
        answerSentMessages(lock);
        if (entry->done) break;
        if (timeoutMs < 0) {
            queueSignal().wait(lock);
        } else if (queueSignal().wait_until(lock, deadline) == std::cv_status::timeout &&
                   !entry->done) {
            forgetSent(thread, entry);
            setError(ERROR_TIMEOUT);
            return false;
        }
    }
    result = entry->result;
    return true;
}

// The thread that owns a window, or none for a handle that is no window.
bool windowThread(HWND window, std::thread::id& thread) {
    StateLock lock(stateMutex());
    const Window* found = checkWindow(window);
    if (found) thread = found->thread;
    return found != nullptr;
}

bool passesRange(UINT message, UINT filterMin, UINT filterMax) {
    if (filterMin == 0 && filterMax == 0) return true;
    return message >= filterMin && message <= filterMax;
}

bool takePosted(ThreadQueue& queue, MSG* out, HWND filter, UINT filterMin, UINT filterMax,
                bool remove) {
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (!passesWindowFilter(it->hwnd, filter) ||
            !passesRange(it->message, filterMin, filterMax))
            continue;
        *out = *it;
        if (remove) queue.posted.erase(it);
        return true;
    }
    return false;
}

// WM_QUIT passes every filter.
bool takeQuit(ThreadQueue& queue, MSG* out, bool remove) {
    if (!queue.quitPosted) return false;
    *out = makeMessage(nullptr, WM_QUIT, WPARAM(queue.exitCode), 0);
    if (remove) queue.quitPosted = false;
    return true;
}

bool peekOnce(MSG* out, HWND filter, UINT filterMin, UINT filterMax, bool remove) {
    std::thread::id self = std::this_thread::get_id();
    ThreadQueue& queue = ownQueue();
    if (takePosted(queue, out, filter, filterMin, filterMax, remove)) return true;
    if (takeQuit(queue, out, remove)) return true;
    if (!passesRange(WM_PAINT, filterMin, filterMax)) return false;
    HWND toPaint = findWindowToPaint(self, filter);
    if (!toPaint) return false;
    *out = makeMessage(toPaint, WM_PAINT, 0, 0);
    return true;
}

bool validFilter(HWND filter) {
    if (!filter || filter == reinterpret_cast<HWND>(-1) || findWindow(filter)) return true;
    setError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
}

bool post(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool front) {
    StateLock lock(stateMutex());
    ThreadQueue* queue = &ownQueue();
    if (window) {
        const Window* target = checkWindow(window);
        if (!target) return false;
        queue = queueOf(target->thread);
        if (!queue) return false;
    }
    auto& posted = queue->posted;
    MSG entry = makeMessage(window, message, wParam, lParam);
    if (front)
        posted.push_front(entry);
    else
        posted.push_back(entry);
    queueSignal().notify_all();
    return true;
}

// The character a key gives without modifiers, or 0 for keys that give none.
WPARAM characterFor(WPARAM key) {
    if (key >= 'A' && key <= 'Z') return key - 'A' + 'a';
    if (key >= '0' && key <= '9') return key;
    switch (key) {
    case VK_SPACE:
        return ' ';
    case VK_RETURN:
        return '\r';
    case VK_ESCAPE:
        return 0x1B;
    case VK_BACK:
        return 0x08;
    case VK_TAB:
        return '\t';
    default:
        return 0;
    }
}

} // namespace

bool passesWindowFilter(HWND window, HWND filter) {
    if (!filter) return true;
    if (filter == reinterpret_cast<HWND>(-1)) return window == nullptr;
    for (const Window* found = findWindow(window); found; found = findWindow(window)) {
        if (window == filter) return true;
        if (!(found->style & WS_CHILD)) return false;
        window = found->parent;
    }
    return false;
}

void discardWindowMessages(HWND window) {
    StateLock lock(stateMutex());
    for (auto& entry : queues()) {
        auto& posted = entry.second.posted;
        for (auto it = posted.begin(); it != posted.end();)
            it = it->hwnd == window ? posted.erase(it) : it + 1;
    }
}

void wakeMessageWaiters() {
    queueSignal().notify_all();
}

void makeThreadQueue() {
    StateLock lock(stateMutex());
    ownQueue();
}

// Senders still waiting are let go with a zero answer.
void clearMessageQueues() {
    StateLock lock(stateMutex());
    for (auto& entry : queues())
        for (auto& sent : entry.second.sent)
            sent->done = true;
    queues().clear();
    queueSignal().notify_all();
}

} // namespace zdp

using namespace zdp;

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    std::thread::id thread;
    if (!windowThread(window, thread)) {
        setError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (thread == std::this_thread::get_id()) return callProcedure(window, message, wParam, lParam);
    LRESULT result = 0;
    sendAcross(thread, makeMessage(window, message, wParam, lParam), -1, false, result);
    return result;
}

LRESULT WINAPI SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT flags, UINT timeoutMs, DWORD_PTR* result) {
    std::thread::id thread;
    if (!windowThread(window, thread)) {
        setError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LRESULT answer = 0;
    if (thread == std::this_thread::get_id()) {
        answer = callProcedure(window, message, wParam, lParam);
    } else if (!sendAcross(thread, makeMessage(window, message, wParam, lParam),
                           sendTimeoutsWait() ? -1 : long(timeoutMs), flags & SMTO_ABORTIFHUNG,
                           answer)) {
        return 0;
    }
    if (result) *result = DWORD_PTR(answer);
    return 1;
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return post(window, message, wParam, lParam, false);
}

void WINAPI PostQuitMessage(int exitCode) {
    StateLock lock(stateMutex());
    ThreadQueue& queue = ownQueue();
    queue.quitPosted = true;
    queue.exitCode = exitCode;
    queueSignal().notify_all();
}

// Waits for a message as Windows does. Without a display only another thread
// can end the wait of a thread whose queue is empty; with one, the display's
// input is looked at every few milliseconds as well.
BOOL WINAPI GetMessageA(LPMSG message, HWND filter, UINT filterMin, UINT filterMax) {
    displayPumpEvents();
    QueueLock lock(stateMutex());
    if (!message) {
        setError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (!validFilter(filter)) return -1;
    for (;;) {
        answerSentMessages(lock);
        if (peekOnce(message, filter, filterMin, filterMax, true)) break;
        ThreadQueue& queue = ownQueue();
        if (!queue.sent.empty()) continue;
        queue.waiting = true;
        if (!displayShowsWindows()) {
            queueSignal().wait(lock);
            ownQueue().waiting = false;
            continue;
        }
        queueSignal().wait_for(lock, std::chrono::milliseconds(displayPollMs));
        ownQueue().waiting = false;
        lock.unlock();
        displayPumpEvents();
        lock.lock();
    }
    return message->message != WM_QUIT;
}

BOOL WINAPI PeekMessageA(LPMSG message, HWND filter, UINT filterMin, UINT filterMax,
                         UINT removeMessage) {
    displayPumpEvents();
    QueueLock lock(stateMutex());
    if (!message) {
        setError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!validFilter(filter)) return FALSE;
    answerSentMessages(lock);
    return peekOnce(message, filter, filterMin, filterMax, removeMessage & PM_REMOVE);
}

// Key presses that give a character post it ahead of the queued input, so it
// arrives next, as on Windows.
BOOL WINAPI TranslateMessage(const MSG* message) {
    if (!message) return FALSE;
    bool keyMessage = message->message >= WM_KEYDOWN && message->message <= WM_SYSKEYUP;
    if (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN) return keyMessage;
    WPARAM character = characterFor(message->wParam);
    if (character == 0) return TRUE;
    UINT charMessage = message->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    post(message->hwnd, charMessage, character, message->lParam, true);
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* message) {
    if (!message || !message->hwnd) return 0;
    if (!IsWindow(message->hwnd)) {
        setError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return callProcedure(message->hwnd, message->message, message->wParam, message->lParam);
}
