#include "platform/win32/windows/ModalBox.h"

#include "platform/win32/windows/PlaceForm.h"

namespace win32 {
namespace {

constexpr DWORD kBoxStyle = WS_POPUP | WS_DLGFRAME | WS_CLIPCHILDREN;
constexpr DWORD kBoxExStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;

}  // namespace

void ModalBox::CreateBox(const ui::FormSpec& spec) {
    const SIZE size = WindowSizeForClient(spec.clientWidthTwips, spec.clientHeightTwips, kBoxStyle, kBoxExStyle);
    const POINT corner = CentredPosition(owner_, size);
    CreateForm(kBoxExStyle, kBoxStyle, owner_, corner.x, corner.y, size.cx, size.cy);
    controls_.Create(Hwnd(), spec);
    PlaceForm(Hwnd(), true, false);
}

}  // namespace win32
