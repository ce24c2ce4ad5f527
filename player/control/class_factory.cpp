// The class factory: IClassFactory and IClassFactory2 for the control class.
#include "player/control/class_factory.h"

#include "player/control/module.h"
#include "player/control/player_control.h"

namespace kelpo::control {

namespace {

class Factory final : public IClassFactory2 {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IClassFactory) ||
            IsEqualIID(id, IID_IClassFactory2)) {
            *object = static_cast<IClassFactory2*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is static: its counts only keep the module loaded.
    ULONG STDMETHODCALLTYPE AddRef() override {
        ObjectCreated();
        return 2;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        ObjectDestroyed();
        return 1;
    }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID id, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return CreatePlayerControl(id, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            InterlockedIncrement(&Module().locks);
        else
            InterlockedDecrement(&Module().locks);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetLicInfo(LICINFO* info) override {
        if (!info) return E_POINTER;
        info->cbLicInfo = sizeof(LICINFO);
        info->fRuntimeKeyAvail = TRUE;
        info->fLicVerified = TRUE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RequestLicKey(DWORD, BSTR* key) override {
        if (!key) return E_POINTER;
        *key = SysAllocString(L"");
        return *key ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE CreateInstanceLic(IUnknown* outer, IUnknown*, REFIID id, BSTR,
                                                void** object) override {
        return CreateInstance(outer, id, object);
    }
};

}  // namespace

IClassFactory2& ControlClassFactory() {
    static Factory factory;
    return factory;
}

}  // namespace kelpo::control
