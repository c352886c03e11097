#include "hostsim/server/MainWindow.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include "hostsim/server/ComResource.h"
#include "hostsim/server/ViewportPainter.h"
#include "hostsim/server/WideText.h"

namespace hostsim {

namespace {

constexpr wchar_t kClassName[] = L"HostsimRhinoMainWindow";
constexpr wchar_t kIdlePrompt[] = L"Command:";
// Posted to open the dialog box asked for by OpenDialogLater.
constexpr UINT kOpenDialogMessage = WM_APP + 1;
// Characters of an id the selection menu shows.
constexpr std::size_t kShortIdCharacters = 8;
constexpr std::size_t kHistoryLines = 3;
constexpr int kPromptPixels = 20;

void RegisterWindowClass(WNDPROC procedure) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_CROSS));
    wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kClassName;
    // A second registration in the same process (tests make several windows) is expected.
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        ThrowLastErrorIf(true, "RegisterClassExW");
    }
}

HWND MakeLabel(HWND parent) {
    HWND label = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, parent,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    ThrowLastErrorIf(label == nullptr, "CreateWindowExW (STATIC)");
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return label;
}

// The modal box of the thread owned by `owner` (a message box is a dialog of class #32770), or
// null.
HWND FindOwnedDialog(HWND owner) {
    struct Search {
        HWND owner;
        HWND found;
    } search{owner, nullptr};
    (void)EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t className[16] = {};
            GetClassNameW(hwnd, className, 16);
            if (GetWindow(hwnd, GW_OWNER) == s->owner && std::wstring_view(className) == L"#32770") {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));  // FALSE only when the search stopped at the box
    return search.found;
}

}  // namespace

MainWindow::MainWindow(const std::wstring& title, Sources sources) : sources_(std::move(sources)) {
    RegisterWindowClass(&MainWindow::WindowProc);
    HWND created = CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 30, 1100,
                                   780, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    ThrowLastErrorIf(created == nullptr, "CreateWindowExW (main window)");
    // A window created hidden gets its first WM_SIZE only when shown; the viewports need their
    // buffer before that, since calls arrive while the host is still hidden.
    RECT client{};
    GetClientRect(hwnd_, &client);
    OnSize(client.right - client.left, client.bottom - client.top);
}

MainWindow::~MainWindow() {
    if (hwnd_) {
        DestroyWindow(hwnd_);
    }
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<MainWindow*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // No exception may cross the window procedure; a failed paint or pick step is dropped
        // and the window stays usable.
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_SIZE:
            OnSize(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
            OnLeftButtonDown(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            return 0;
        case WM_LBUTTONUP:
            OnLeftButtonUp();
            return 0;
        case WM_RBUTTONUP:
            OnRightButtonUp();
            return 0;
        case WM_KEYDOWN:
            OnKeyDown(wParam);
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            return 0;
        case WM_CLOSE:
            if (OnClose()) {
                DestroyWindow(hwnd_);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case kOpenDialogMessage:
            if (const std::optional<DialogKind> kind = std::exchange(dialogToOpen_, std::nullopt)) {
                RunDialogBox(*kind);
            }
            return 0;
        default:
            return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

void MainWindow::OnCreate() {
    // The Tools menu lets a person see what a client does with a host that has a dialog box
    // open, of either kind, or is in the middle of a command.
    HMENU tools = CreatePopupMenu();
    HMENU bar = CreateMenu();
    if (tools != nullptr && bar != nullptr &&
        AppendMenuW(tools, MF_STRING, kBusyBoxCommand, L"&Open a dialog box (Rhino busy)") &&
        AppendMenuW(tools, MF_STRING, kRunsBoxCommand, L"Open a dialog box (calls &run)") &&
        AppendMenuW(tools, MF_SEPARATOR, 0, nullptr) &&
        AppendMenuW(tools, MF_STRING, kStartCommandCommand, L"&Start a command (Move)") &&
        AppendMenuW(tools, MF_STRING, kEndCommandCommand, L"&End the command\tEsc") &&
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(tools), L"&Tools")) {
        (void)SetMenu(hwnd_, bar);  // the window owns and destroys the menu from here on
    }
    historyLabel_ = MakeLabel(hwnd_);
    promptLabel_ = MakeLabel(hwnd_);
    UserCommandChanged();
}

void MainWindow::OnCommand(UINT command) {
    switch (command) {
        case kBusyBoxCommand:
            RunDialogBox(DialogKind::Busy);
            break;
        case kRunsBoxCommand:
            RunDialogBox(DialogKind::Runs);
            break;
        case kStartCommandCommand:
        case kEndCommandCommand:
            if (sources_.setUserCommand) {
                sources_.setUserCommand(command == kStartCommandCommand ? "Move" : "");
            }
            UserCommandChanged();
            break;
        default:
            break;
    }
}

void MainWindow::RunDialogBox(DialogKind kind) {
    if (dialogOpen_) {
        return;
    }
    dialogOpen_ = true;
    if (sources_.dialogBoxOpen) {
        sources_.dialogBoxOpen(kind, true);
    }
    // COM dispatches incoming calls in the box's modal loop: the busy kind turns them away,
    // the other lets them run inside what counts as the user's command.
    if (kind == DialogKind::Busy) {
        (void)MessageBoxW(hwnd_, L"Rhino is busy while this dialog box is open. Close it to let calls through.",
                          L"Busy", MB_OK | MB_ICONINFORMATION);
    } else {
        (void)MessageBoxW(hwnd_,
                          L"A dialog box of a command is open. Calls run meanwhile, but Rhino is in a command: "
                          L"scripted commands fail and picks end at once. Close it to end the command.",
                          L"Command options", MB_OK | MB_ICONINFORMATION);
    }
    if (sources_.dialogBoxOpen) {
        sources_.dialogBoxOpen(kind, false);
    }
    dialogOpen_ = false;
}

void MainWindow::OpenDialogLater(DialogKind kind) {
    if (dialogOpen_ || dialogToOpen_) {
        throw ScriptError("Control", "a dialog box is open already");
    }
    if (!hwnd_ || !PostMessageW(hwnd_, kOpenDialogMessage, 0, 0)) {
        throw ScriptError("Control", "the host window cannot open a dialog box");
    }
    dialogToOpen_ = kind;
}

void MainWindow::CloseDialog() {
    dialogToOpen_.reset();
    if (!dialogOpen_) {
        return;
    }
    if (HWND box = FindOwnedDialog(hwnd_)) {
        // The box's own OK button: its modal loop ends once this control call has returned.
        (void)PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
}

std::wstring MainWindow::IdlePrompt() const {
    const std::string command = sources_.userCommand ? sources_.userCommand() : std::string();
    if (command.empty()) {
        return kIdlePrompt;
    }
    return Utf8ToWide(command) + (command == "Move" ? L": Point to move from" : L"") + L" (press Esc to cancel)";
}

void MainWindow::UserCommandChanged() {
    if (!hwnd_) {
        return;
    }
    const std::string command = sources_.userCommand ? sources_.userCommand() : std::string();
    if (command == shownUserCommand_) {
        return;
    }
    shownUserCommand_ = command;
    if (!command.empty()) {
        AddHistory("Command: " + command);
    }
    if (!pick_) {
        SetPrompt(IdlePrompt());
    }
}

void MainWindow::OnSize(int widthPixels, int heightPixels) {
    const int viewHeight = std::max(heightPixels - kCommandAreaPixels, 1);
    MoveWindow(historyLabel_, 4, viewHeight + 2, std::max(widthPixels - 8, 1), kCommandAreaPixels - kPromptPixels - 2,
               TRUE);
    MoveWindow(promptLabel_, 4, heightPixels - kPromptPixels, std::max(widthPixels - 8, 1), kPromptPixels - 2, TRUE);
    if (buffer_.Get() && std::max(widthPixels, 1) == viewWidthPixels_ && viewHeight == viewHeightPixels_) {
        // Same size (the first WM_SIZE when the window is shown): the rendered picture stands.
        // Rendering it again would draw every object of the document four times over.
        return;
    }
    viewWidthPixels_ = std::max(widthPixels, 1);
    viewHeightPixels_ = viewHeight;
    HDC windowDc = GetDC(hwnd_);
    buffer_.Reset(CreateCompatibleDC(windowDc));
    bufferBitmap_.Reset(CreateCompatibleBitmap(windowDc, viewWidthPixels_, viewHeightPixels_));
    ReleaseDC(hwnd_, windowDc);
    SelectObject(buffer_.Get(), bufferBitmap_.Get());
    // The picture keeps the objects of the last redraw; only the layout follows the new size.
    Render();
}

void MainWindow::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    if (buffer_.Get()) {
        BitBlt(dc, 0, 0, viewWidthPixels_, viewHeightPixels_, buffer_.Get(), 0, 0, SRCCOPY);
    }
    RECT client;
    GetClientRect(hwnd_, &client);
    RECT commandArea{0, viewHeightPixels_, client.right, client.bottom};
    FillRect(dc, &commandArea, GetSysColorBrush(COLOR_BTNFACE));
    EndPaint(hwnd_, &paint);
}

void MainWindow::Render() {
    views_ = LayoutViews(viewWidthPixels_, viewHeightPixels_, objects_);
    if (!buffer_.Get()) {
        return;
    }
    std::set<std::string> highlighted;
    if (pick_) {
        highlighted.insert(pick_->picked.begin(), pick_->picked.end());
    }
    const ViewKind active = sources_.activeView ? sources_.activeView() : ViewKind::Top;
    PaintViewports(buffer_.Get(), viewWidthPixels_, viewHeightPixels_, views_, active, objects_, highlighted);
    RECT viewArea{0, 0, viewWidthPixels_, viewHeightPixels_};
    InvalidateRect(hwnd_, &viewArea, FALSE);
}

void MainWindow::DocumentChanged() {
    if (!hwnd_ || !sources_.redrawEnabled()) {
        return;
    }
    objects_ = sources_.objects();
    Render();
}

COLORREF MainWindow::ViewPixel(int xPixels, int yPixels) const {
    return buffer_.Get() ? GetPixel(buffer_.Get(), xPixels, yPixels) : CLR_INVALID;
}

bool MainWindow::IsShown() const {
    return hwnd_ && IsWindowVisible(hwnd_);
}

void MainWindow::SetShown(bool shown) {
    if (!hwnd_) {
        return;
    }
    ShowWindow(hwnd_, shown ? SW_SHOW : SW_HIDE);
    if (shown) {
        UpdateWindow(hwnd_);
    }
}

void MainWindow::AddHistory(const std::string& line) {
    history_.push_back(Utf8ToWide(line));
    while (history_.size() > kHistoryLines) {
        history_.pop_front();
    }
    std::wstring text;
    for (const std::wstring& entry : history_) {
        if (!text.empty()) {
            text += L"\r\n";
        }
        text += entry;
    }
    SetWindowTextW(historyLabel_, text.c_str());
}

void MainWindow::SetPrompt(const std::wstring& text) {
    SetWindowTextW(promptLabel_, text.c_str());
}

std::wstring MainWindow::PromptText() const {
    wchar_t text[512] = {};
    GetWindowTextW(promptLabel_, text, 512);
    return text;
}

std::optional<std::vector<std::string>> MainWindow::Pick(const std::string& prompt, int filter, bool many) {
    const std::string operation = many ? "GetObjects" : "GetObject";
    if (!hwnd_) {
        throw ScriptError(operation, "the host window is closed");
    }
    if (pick_) {
        throw ScriptError(operation, "another pick is waiting for the user");
    }
    pick_ = PickState{filter, many, {}, false, false};
    // Picks see the document as it is now, whatever the redraw state.
    objects_ = sources_.objects();
    SetPrompt(Utf8ToWide(prompt) + (many ? L". Press Enter when done" : L""));
    Render();
    SetFocus(hwnd_);
    // The caller (another process, waiting in its COM call) is answered only when this loop
    // ends, as the host does with its own pick loop.
    MSG msg;
    while (!pick_->done) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // WM_QUIT belongs to the outer loop: give it back and cancel the pick.
            PostQuitMessage(static_cast<int>(msg.wParam));
            FinishPick(true);
            break;
        }
        if (got == -1) {
            FinishPick(true);
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    PickState finished = std::move(*pick_);
    pick_.reset();
    pendingChoice_.reset();
    std::optional<std::vector<std::string>> answer;
    if (!finished.cancelled && !finished.picked.empty()) {
        answer = std::move(finished.picked);
    }
    SetPrompt(IdlePrompt());
    AddHistory(prompt + ": " +
               (answer ? std::to_string(answer->size()) + (answer->size() == 1 ? " object" : " objects") + " picked"
                       : std::string("cancelled")));
    if (hwnd_) {
        if (sources_.redrawEnabled()) {
            objects_ = sources_.objects();
        }
        Render();
        if (closeAfterPick_) {
            PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        }
    }
    return answer;
}

void MainWindow::FinishPick(bool cancelled) {
    if (pick_) {
        pick_->done = true;
        pick_->cancelled = cancelled;
    }
}

std::optional<ClickSpot> MainWindow::SpotOf(const std::string& id, ViewKind view) const {
    for (const ViewTransform& transform : views_) {
        if (transform.kind != view) {
            continue;
        }
        for (const DrawnObject& object : objects_) {
            if (object.id != id || object.shape.empty()) {
                continue;
            }
            const ScreenPoint middle = transform.ToScreen(object.shape[object.shape.size() / 2]);
            const ClickSpot spot{static_cast<int>(std::lround(middle.xPixels)),
                                 static_cast<int>(std::lround(middle.yPixels))};
            if (ViewAt(views_, spot.xPixels, spot.yPixels) != &transform) {
                return std::nullopt;
            }
            return spot;
        }
    }
    return std::nullopt;
}

void MainWindow::ActiveViewChanged() {
    if (hwnd_) {
        Render();
    }
}

void MainWindow::OnLeftButtonDown(int xPixels, int yPixels) {
    // The click makes its viewport active first, whether or not it picks anything.
    if (const ViewTransform* view = ViewAt(views_, xPixels, yPixels); view && sources_.activate) {
        const ViewKind current = sources_.activeView ? sources_.activeView() : ViewKind::Top;
        sources_.activate(view->kind);
        if (view->kind != current) {
            Render();
        }
    }
    if (!pick_ || pick_->done) {
        return;
    }
    const std::vector<std::size_t> hits =
        HitTest(views_, objects_, xPixels, yPixels, kPickTolerancePixels, pick_->filter);
    if (hits.size() > 1) {
        // Asked once the button is up, so that its release does not choose from the menu.
        pendingChoice_ = PendingChoice{hits, xPixels, yPixels};
        return;
    }
    if (!hits.empty()) {
        TakePicked(objects_[hits.front()].id);
    }
}

void MainWindow::OnLeftButtonUp() {
    std::optional<PendingChoice> choice = std::exchange(pendingChoice_, std::nullopt);
    if (!choice || !pick_ || pick_->done) {
        return;
    }
    if (const std::optional<std::size_t> chosen = ChooseAmong(choice->candidates, choice->xPixels, choice->yPixels)) {
        // The pick may have ended while the menu was open (the window closed).
        if (pick_ && !pick_->done) {
            TakePicked(objects_[*chosen].id);
        }
    }
}

void MainWindow::TakePicked(const std::string& id) {
    if (std::find(pick_->picked.begin(), pick_->picked.end(), id) == pick_->picked.end()) {
        pick_->picked.push_back(id);
    }
    if (!pick_->many) {
        FinishPick(false);
        return;
    }
    Render();
}

std::optional<std::size_t> MainWindow::ChooseAmong(const std::vector<std::size_t>& candidates,
                                                   int xPixels,
                                                   int yPixels) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        return std::nullopt;
    }
    // Item ids are the candidate's position plus one: TrackPopupMenu answers 0 for no choice.
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const DrawnObject& object = objects_[candidates[i]];
        const std::string label = object.kindName + " " + object.id.substr(0, kShortIdCharacters) + "...";
        (void)AppendMenuW(menu, MF_STRING, i + 1, Utf8ToWide(label).c_str());  // a missing item is not offered
    }
    POINT screen{xPixels, yPixels};
    (void)ClientToScreen(hwnd_, &screen);  // fails only for a destroyed window
    // TrackPopupMenu needs the owner in the foreground to close the menu on a click elsewhere.
    (void)SetForegroundWindow(hwnd_);
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, screen.x,
                       screen.y, 0, hwnd_, nullptr));
    (void)DestroyMenu(menu);
    if (chosen == 0 || chosen > candidates.size()) {
        return std::nullopt;
    }
    return candidates[chosen - 1];
}

void MainWindow::OnRightButtonUp() {
    if (pick_) {
        FinishPick(false);
    }
}

void MainWindow::OnKeyDown(WPARAM key) {
    if (!pick_) {
        // Escape ends a command of the user's, as it cancels a command in the host.
        if (key == VK_ESCAPE && sources_.setUserCommand && !shownUserCommand_.empty()) {
            sources_.setUserCommand("");
            UserCommandChanged();
        }
        return;
    }
    if (key == VK_RETURN || key == VK_SPACE) {
        FinishPick(false);
    } else if (key == VK_ESCAPE) {
        FinishPick(true);
    }
}

bool MainWindow::OnClose() {
    if (pick_) {
        // Closing ends the waiting pick first; the window closes once its caller is answered.
        closeAfterPick_ = true;
        FinishPick(true);
        return false;
    }
    return true;
}

}  // namespace hostsim
