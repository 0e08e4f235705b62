// Stock objects, the system's icons and cursors, and the calls that act on
// any GDI object.
#include "gdi_state.h"
#include "window_state.h"

namespace zdp {
namespace {

constexpr int firstSystemResource = 32512;
constexpr int lastSystemResource = 32650;

bool knownStockObject(int object) {
    return (object >= WHITE_BRUSH && object <= NULL_PEN) || object == DEFAULT_PALETTE;
}

// System icons and cursors exist only without an instance: modules here
// carry no resources.
uintptr_t systemResource(StockFamily family, HINSTANCE instance, LPCSTR name) {
    uintptr_t id = uintptr_t(name);
    if (instance || !IS_INTRESOURCE(name) || id < firstSystemResource || id > lastSystemResource) {
        setError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    return stockHandle(family, uint32_t(id));
}

} // namespace

uintptr_t stockHandle(StockFamily family, uint32_t id) {
    return makeHandleValue(HandleKind::Stock, uint32_t(family), id);
}

bool isStockHandle(uintptr_t value) {
    return value != 0 && handleKindOf(value) == HandleKind::Stock;
}

} // namespace zdp

using namespace zdp;

HGDIOBJ WINAPI GetStockObject(int object) {
    if (!knownStockObject(object)) {
        setError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return handleFrom<HGDIOBJ>(stockHandle(StockFamily::GdiObject, uint32_t(object)));
}

// Stock objects are never deleted; deleting one succeeds and changes nothing.
BOOL WINAPI DeleteObject(HGDIOBJ object) {
    StateLock lock(stateMutex());
    if (isStockHandle(handleValue(object))) return TRUE;
    if (deletePalette(object)) return TRUE;
    setError(ERROR_INVALID_HANDLE);
    return FALSE;
}

BOOL WINAPI UnrealizeObject(HGDIOBJ object) {
    StateLock lock(stateMutex());
    if (isStockHandle(handleValue(object))) return TRUE;
    if (findPalette(reinterpret_cast<HPALETTE>(object))) return TRUE;
    setError(ERROR_INVALID_HANDLE);
    return FALSE;
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName) {
    return handleFrom<HICON>(systemResource(StockFamily::Icon, instance, iconName));
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName) {
    return handleFrom<HCURSOR>(systemResource(StockFamily::Cursor, instance, cursorName));
}
