// IPersistStreamInit: the control starts from its defaults; its saved
// state is empty, so loading and saving carry no properties.
#include "player/control/player_control.h"

#include "player/control/identifiers.h"

namespace kelpo::control {

HRESULT PlayerControl::GetClassID(CLSID* id) {
    if (!id) return E_POINTER;
    *id = kControlClassId;
    return S_OK;
}

HRESULT PlayerControl::IsDirty() { return S_FALSE; }

HRESULT PlayerControl::Load(LPSTREAM stream) { return stream ? S_OK : E_POINTER; }

HRESULT PlayerControl::Save(LPSTREAM stream, BOOL) { return stream ? S_OK : E_POINTER; }

HRESULT PlayerControl::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = 0;
    return S_OK;
}

HRESULT PlayerControl::InitNew() { return S_OK; }

}  // namespace kelpo::control
