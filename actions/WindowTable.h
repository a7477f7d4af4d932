// The per-process table of windows the library has touched, with their shade state and on-top
// choices, and the few per-process fields the hook and the System Menu item keep.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace mirelunde {

struct ShadeRecord {
    bool shaded = false;
    bool seenShown = false;  // shown since the library arrived, or open as its program was kept on top
    bool keptOnTop = false;  // made topmost because its program is kept on top
    int storedHeight = 0;
    DWORD dwStyle = 0;    // style just before the last shading
    DWORD dwExStyle = 0;  // extended style just before the last shading
    bool onTopWhenShaded = false;
    bool alwaysOnTop = false;
    // The window's own topmost state before the library first changed it, and the state the library
    // last left it in: the put-back gives the first back only while the second still holds.
    bool wasTopmost = false;
    bool topmostChanged = false;
    bool topmostLeft = false;
    bool wasMaximized = false;
    RECT shadedFrom{};
    bool liftedToTop = false;      // made topmost by the library at some time, and its owned windows with it
    std::vector<HWND> ownedOnTop;  // owned windows on top by their program's choice at the first lift

    // Notes a change of the window's topmost state that the library made.
    void NoteTopmost(bool before, bool after);
};

// Orders handles as unsigned numbers.
struct HandleOrder {
    bool operator()(HWND a, HWND b) const noexcept
    {
        return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b);
    }
};

class WindowTable {
public:
    // The window's record, created on first lookup. The table and every caller share it: a thread
    // that forgets the window meanwhile drops it from the table, never from under its holder.
    std::shared_ptr<ShadeRecord> RecordFor(HWND window);
    bool ToggleShade(HWND window);
    bool ToggleShadeOfFrame(HWND window);
    bool IsShaded(HWND window);
    // Unshades every shaded window and gives each window its own topmost state back: at detach.
    void RestoreAll();
    // The same for the calling thread's windows only, whose records then start afresh: each thread
    // does this for itself when the launcher stops, so nothing waits on another thread.
    void RestoreThreadWindows();
    // Called as a window is destroyed, so a new window given the same handle starts afresh. Takes
    // no lock in a process that has never had a record.
    void Forget(HWND window);

    bool OnTopWhenShaded(HWND window, bool toggle);
    bool AlwaysOnTop(HWND window, bool toggle);
    void RaiseOrSink(HWND window, HWND activateAfterSink);
    // In a program kept on top, a top-level window of its own (owned windows follow their owner) with a
    // caption, not a tool window, becomes topmost as "On Top > Always" makes it, the first time it is
    // shown.
    void KeepOnTopAsShown(HWND window);
    // The calling thread's open windows of that kind made topmost as the program is put on the list, or
    // those made so for the program no longer topmost as it is taken off.
    void KeepThreadWindowsOnTop(bool on);

    // The library's item in the System Menu; true once the item is in place or not wanted.
    bool AddSystemMenuItem(HWND window);
    void RemoveSystemMenuItem();
    // Removes it only when its window is the calling thread's; true if it did.
    bool RemoveOwnSystemMenuItem();
    // Asks whether to stop the product; the box's answer.
    int RequestStop(HWND owner, int defaultAnswer);

    // The modifier flags go when the thread's window loses the keyboard: the key's release then
    // goes to another program and is never seen here.
    void ReleaseModifiers();

    // The process commands of the menu.
    void ShowProcessInfo(HWND window);
    int DeleteProcess(HWND window);
    int DestroyProcess(HWND window);

    std::map<HWND, std::shared_ptr<ShadeRecord>, HandleOrder> records;
    // Every GUI thread of the process reads and writes these through the hooks. The System Menu
    // item's identifier (0 while there is none) and the window whose menu holds it change together,
    // under their lock; the hook reads the identifier alone.
    std::atomic<UINT> systemMenuItemId{0};
    std::atomic<HWND> rememberedWindow{nullptr};
    std::atomic<bool> shiftHeld{false};
    std::atomic<bool> controlHeld{false};
    std::atomic<bool> altHeld{false};
    std::atomic<HWND> systemMenuWindow{nullptr};

private:
    void KeepOnTop(HWND window, ShadeRecord& record);
    bool Shade(HWND window, ShadeRecord& record, DWORD style);
    bool Unshade(HWND window, ShadeRecord& record, bool mayWait = true);
    void Restore(bool ownThreadOnly);
    // Every topmost change of a window on record: the owned windows that its program keeps on top
    // stay there.
    void ChangeTopmost(HWND window, ShadeRecord& record, bool on);
    // Whether the library has changed that window's topmost state.
    bool TopmostChangedHere(HWND window);
    bool RemoveSystemMenuItem(bool ownThreadOnly);
    // The window's record if it has one, without making one.
    std::shared_ptr<ShadeRecord> FindRecord(HWND window);

    // Set as the first record is made, never cleared.
    std::atomic<bool> hadRecords_{false};
    SRWLOCK recordsLock_ = SRWLOCK_INIT;  // threads of one process may look windows up at once
    SRWLOCK systemMenuLock_ = SRWLOCK_INIT;
};

extern WindowTable windowTable;

// Whether a modifier that the key messages showed pressed is still down for the calling thread; a
// release that never reached this process clears the flag here.
bool StillHeld(std::atomic<bool>& flag, int virtualKey);

bool IsTopmost(HWND window);
// Whether the calling thread owns the window.
bool IsOwnWindow(HWND window);
// The owner of a box shown for what the user did in `window`: that window when the calling thread
// owns it, else none, so a box never disables, nor waits on, another program's window.
HWND BoxOwner(HWND window);
bool SetTopmost(HWND window, bool on);
// Takes the window's topmost owned windows (and theirs) off the top.
void LowerOwnedWindows(HWND owner);

}  // namespace mirelunde
