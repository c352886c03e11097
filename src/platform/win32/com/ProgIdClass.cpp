#include "platform/win32/com/ProgIdClass.h"

#include "platform/win32/base/TextConversion.h"

namespace win32 {

ProgIdClass LookUpProgId(std::string_view progId) {
    ProgIdClass found;
    found.result = ::CLSIDFromProgID(Utf8ToWide(progId).c_str(), &found.clsid);
    return found;
}

}  // namespace win32
