// Creating, activating, connecting and closing a hosted control.
#include "host/framework/control_host.h"

#include <ocidl.h>
#include <olectl.h>

#include "host/framework/control_site.h"

namespace kelpo::framework {

// Forwards the control's events to a handler.
class EventSink final : public IDispatch {
public:
    EventSink(const IID& events, EventHandler handler, void* user)
        : events_(events), handler_(handler), user_(user) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == events_) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return left;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO*, UINT*) override {
        if (result) VariantInit(result);
        if (handler_) handler_(user_, id, params);
        return S_OK;
    }
    // The host goes away before the control lets go of the sink.
    void Disconnect() { handler_ = nullptr; }

private:
    LONG references_ = 1;
    IID events_;
    EventHandler handler_;
    void* user_;
};

ControlHost::~ControlHost() { Close(); }

HRESULT ControlHost::CreateFromClsid(HWND parent, const CLSID& clsid, const RECT& rect, UINT id) {
    IClassFactory* factory = nullptr;
    HRESULT hr = CoGetClassObject(clsid, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, nullptr,
                                  IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    hr = Activate(factory, parent, rect, id, nullptr);
    factory->Release();
    return hr;
}

HRESULT ControlHost::CreateFromFile(HWND parent, const char* path, const CLSID& clsid,
                                    const RECT& rect, UINT id, const wchar_t* licenceKey) {
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    library_ = LoadLibraryA(path);
    if (!library_) return REGDB_E_CLASSNOTREG;
    auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(library_, "DllGetClassObject")));
    if (!getClassObject) return CO_E_ERRORINDLL;
    IClassFactory* factory = nullptr;
    HRESULT hr = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    hr = Activate(factory, parent, rect, id, licenceKey);
    factory->Release();
    return hr;
}

HRESULT ControlHost::Activate(IClassFactory* factory, HWND parent, const RECT& rect, UINT id,
                              const wchar_t* licenceKey) {
    HRESULT hr;
    if (licenceKey) {
        IClassFactory2* licensed = nullptr;
        hr = factory->QueryInterface(IID_IClassFactory2, reinterpret_cast<void**>(&licensed));
        if (FAILED(hr)) return hr;
        BSTR key = SysAllocString(licenceKey);
        hr = licensed->CreateInstanceLic(nullptr, nullptr, IID_IOleObject, key,
                                         reinterpret_cast<void**>(&object_));
        SysFreeString(key);
        licensed->Release();
    } else {
        hr = factory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(&object_));
    }
    if (FAILED(hr)) return hr;

    site_ = new ControlSite(parent, rect);
    site_->SetObject(object_);
    IPersistStreamInit* persist = nullptr;
    if (SUCCEEDED(
            object_->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
        persist->InitNew();
        persist->Release();
    }
    hr = object_->SetClientSite(static_cast<IOleClientSite*>(site_));
    if (SUCCEEDED(hr)) {
        RECT position = rect;
        hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(site_),
                             0, parent, &position);
    }
    if (SUCCEEDED(hr))
        hr = object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_));
    if (FAILED(hr)) {
        Close();
        return hr;
    }
    if (HWND window = ControlWindow())
        SetWindowLongPtrA(window, GWLP_ID, static_cast<LONG_PTR>(id));
    return S_OK;
}

HRESULT ControlHost::ConnectEvents(const IID& events, EventHandler handler, void* user) {
    if (!object_) return E_UNEXPECTED;
    IConnectionPointContainer* container = nullptr;
    HRESULT hr = object_->QueryInterface(IID_IConnectionPointContainer,
                                         reinterpret_cast<void**>(&container));
    if (FAILED(hr)) return hr;
    hr = container->FindConnectionPoint(events, &connection_);
    container->Release();
    if (FAILED(hr)) return hr;
    sink_ = new EventSink(events, handler, user);
    hr = connection_->Advise(sink_, &cookie_);
    if (FAILED(hr)) {
        connection_->Release();
        connection_ = nullptr;
    }
    return hr;
}

HWND ControlHost::ControlWindow() const {
    if (!object_) return nullptr;
    IOleInPlaceObject* inPlace = nullptr;
    HWND window = nullptr;
    if (SUCCEEDED(
            object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
        inPlace->GetWindow(&window);
        inPlace->Release();
    }
    return window;
}

void ControlHost::Move(const RECT& rect) {
    if (site_) site_->SetRect(rect);
    IOleInPlaceObject* inPlace = nullptr;
    if (object_ && SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject,
                                                     reinterpret_cast<void**>(&inPlace)))) {
        inPlace->SetObjectRects(&rect, &rect);
        inPlace->Release();
    }
}

HRESULT ControlHost::Draw(HDC dc, const RECT& rect) {
    if (!object_) return E_UNEXPECTED;
    IViewObject* view = nullptr;
    HRESULT hr = object_->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view));
    if (FAILED(hr)) return hr;
    RECTL bounds{rect.left, rect.top, rect.right, rect.bottom};
    hr = view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr,
                    0);
    view->Release();
    return hr;
}

void ControlHost::Close() {
    if (connection_) {
        connection_->Unadvise(cookie_);
        connection_->Release();
        connection_ = nullptr;
    }
    if (sink_) {
        sink_->Disconnect();
        sink_->Release();
        sink_ = nullptr;
    }
    if (dispatch_) {
        dispatch_->Release();
        dispatch_ = nullptr;
    }
    if (object_) {
        IOleInPlaceObject* inPlace = nullptr;
        if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject,
                                              reinterpret_cast<void**>(&inPlace)))) {
            inPlace->InPlaceDeactivate();
            inPlace->Release();
        }
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_->Release();
        object_ = nullptr;
    }
    if (site_) {
        site_->Forget();
        site_->Release();
        site_ = nullptr;
    }
    // The control's file stays loaded: its code may still be referenced by
    // objects released later (the process unloads it at exit).
}

}  // namespace kelpo::framework
