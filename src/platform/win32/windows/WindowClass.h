#pragma once

#include "platform/win32/base/WinInclude.h"

namespace win32 {

// The window class name of all three of the tool's windows: host::kPanelWindowClass, by which
// start-up's single-instance check finds a running panel, as the wide text the window
// functions take. Valid for the whole run.
const wchar_t* FormClassName();

// Registers the form class (and initialises the common controls the forms use) on first
// use; later calls do nothing. Throws Win32Error when registration fails.
void RegisterFormClass();

// The base of the tool's windows: owns one top-level window of the form class and routes
// its messages to HandleMessage. `this` is stored with the window at WM_NCCREATE and
// cleared at WM_NCDESTROY, after which Hwnd() is null. Destroying the object destroys a
// window that is still alive, without routing its last messages to the (half-destroyed)
// object. Not copyable or movable: the window holds the object's address.
class FormWindow {
  public:
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    virtual ~FormWindow();

    // The window handle; null before creation and after the window has been destroyed.
    HWND Hwnd() const { return hwnd_; }

    // Destroys the window now (DestroyWindow); does nothing when it is already gone.
    void Destroy();

  protected:
    FormWindow() = default;

    // Creates the window hidden, with the given outer rectangle in pixels. Throws
    // Win32Error when creation fails.
    void
    CreateForm(DWORD exStyle, DWORD style, HWND owner, int xPixels, int yPixels, int widthPixels, int heightPixels);

    // Handles one message; call DefWindowProcW for whatever it does not handle.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // Runs after the window has received WM_NCDESTROY (Hwnd() is already null).
    virtual void OnWindowGone() {}

  private:
    friend void RegisterFormClass();
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

}  // namespace win32
