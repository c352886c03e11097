#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "hostsim/model/ScriptApi.h"
#include "hostsim/server/GdiResource.h"
#include "hostsim/server/Viewports.h"
#include "hostsim/server/WinInclude.h"

namespace hostsim {

// The simulated host's main window: four viewports drawing the document and a command line at
// the bottom (recent history and the current prompt). It is also the interactive picker: Pick
// runs a nested message loop until the user clicks an object (GetObject), presses Enter or
// right-clicks (GetObjects), or presses Escape (cancel). A click within reach of several objects
// the pick allows asks which one with a popup menu, as the host's selection menu does. A left
// click in a viewport, the click that answers a pick included, makes that viewport the active
// one, as in the host. Its Tools menu opens the two kinds of modal dialog box (DialogKind) and
// starts and ends a command of the user's (Escape ends it too).
// The viewports show the document as it was at the last redraw: while the document's redraw is
// off nothing is re-rendered, and the stale picture is what repaints.
class MainWindow final : public PickProvider {
  public:
    struct Sources {
        // The document's objects as drawn, and whether views redraw now.
        std::function<std::vector<DrawnObject>()> objects;
        std::function<bool()> redrawEnabled;
        // The active viewport (its name is drawn highlighted), and making another one active;
        // without them Top stays active.
        std::function<ViewKind()> activeView;
        std::function<void(ViewKind)> activate;
        // Told when a modal dialog box of a kind opens (true) and closes (false).
        std::function<void(DialogKind, bool)> dialogBoxOpen;
        // The command of the user's running (empty for none), and starting ("Move") or ending
        // (empty) one from the menu.
        std::function<std::string()> userCommand;
        std::function<void(std::string)> setUserCommand;
    };

    // The window menu's commands: open a modal box that keeps the host busy, one that lets
    // calls run, start the command Move, end the command.
    static constexpr UINT kBusyBoxCommand = 101;
    static constexpr UINT kRunsBoxCommand = 102;
    static constexpr UINT kStartCommandCommand = 103;
    static constexpr UINT kEndCommandCommand = 104;

    // Pixels from a click to an object's drawn shape within which the click picks it.
    static constexpr double kPickTolerancePixels = 5.0;
    // Height of the command line area at the bottom of the client area.
    static constexpr int kCommandAreaPixels = 64;

    // Creates the window hidden; throws ComError when it cannot.
    MainWindow(const std::wstring& title, Sources sources);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    bool IsShown() const;
    void SetShown(bool shown);

    // Re-renders the viewports from the document when redraw is on; call after every change.
    void DocumentChanged();
    // Adds a line to the command history.
    void AddHistory(const std::string& line);
    // The prompt line's text ("Command:" when idle).
    std::wstring PromptText() const;
    // The viewports of the current client size (for hit testing and tests).
    const std::vector<ViewTransform>& Views() const { return views_; }
    // Colour of a viewport pixel as last rendered (what the window repaints from).
    COLORREF ViewPixel(int xPixels, int yPixels) const;
    // True while a Pick waits for the user.
    bool Picking() const { return pick_.has_value(); }

    std::optional<std::vector<std::string>> Pick(const std::string& prompt, int filter, bool many) override;
    // A pixel of the object's shape as drawn in the view now: the middle point of its polyline.
    std::optional<ClickSpot> SpotOf(const std::string& id, ViewKind view) const override;
    // Repaints the viewports' titles after the active viewport changed elsewhere.
    void ActiveViewChanged();
    // Shows the command of the user's (started or ended elsewhere) on the command line.
    void UserCommandChanged();

    // Opens the modal dialog box of a kind once the current message has been handled (a
    // control call is answered first, since the box's loop holds the thread until it is
    // closed). Throws ScriptError when a box is open or about to open.
    void OpenDialogLater(DialogKind kind);
    // Closes the open box, or drops one about to open; nothing when there is none.
    void CloseDialog();
    // True while a modal dialog box of the window is open.
    bool DialogOpen() const { return dialogOpen_; }

    // Set when the window was closed (WM_DESTROY); the server's loop then ends.
    bool Destroyed() const { return hwnd_ == nullptr; }

  private:
    struct PickState {
        int filter = 0;
        bool many = false;
        std::vector<std::string> picked;
        bool done = false;
        bool cancelled = false;
    };

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void OnSize(int widthPixels, int heightPixels);
    void OnPaint();
    void OnLeftButtonDown(int xPixels, int yPixels);
    void OnLeftButtonUp();
    void OnRightButtonUp();
    void OnKeyDown(WPARAM key);
    void OnCommand(UINT command);
    bool OnClose();

    void Render();
    void SetPrompt(const std::wstring& text);
    // "Command:", or the user's command and its prompt while one runs.
    std::wstring IdlePrompt() const;
    void FinishPick(bool cancelled);
    // Adds an object a click picked to the pick, and ends a GetObject.
    void TakePicked(const std::string& id);
    // Asks with a popup menu at the client pixel which of several objects (indexes into
    // objects_) the click meant; nothing when the menu is dismissed.
    std::optional<std::size_t> ChooseAmong(const std::vector<std::size_t>& candidates, int xPixels, int yPixels);
    void RunDialogBox(DialogKind kind);

    HWND hwnd_ = nullptr;
    HWND historyLabel_ = nullptr;
    HWND promptLabel_ = nullptr;
    Sources sources_;
    std::vector<DrawnObject> objects_;
    std::vector<ViewTransform> views_;
    MemoryDc buffer_;
    GdiObject<HBITMAP> bufferBitmap_;
    int viewWidthPixels_ = 0;
    int viewHeightPixels_ = 0;
    std::deque<std::wstring> history_;
    std::optional<PickState> pick_;
    bool closeAfterPick_ = false;
    // A pick's click within reach of several objects, asked about once the button is up.
    struct PendingChoice {
        std::vector<std::size_t> candidates;
        int xPixels = 0;
        int yPixels = 0;
    };
    std::optional<PendingChoice> pendingChoice_;
    std::optional<DialogKind> dialogToOpen_;
    bool dialogOpen_ = false;
    std::string shownUserCommand_;
};

}  // namespace hostsim
