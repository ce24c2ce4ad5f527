// The event connection point.
#include "player/control/event_connection.h"

#include "player/control/com_enumerators.h"
#include "player/control/identifiers.h"

namespace kelpo::control {

EventConnection::~EventConnection() { DisconnectAll(); }

HRESULT EventConnection::QueryInterface(REFIID id, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IConnectionPoint)) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG EventConnection::AddRef() { return container_->AddRef(); }

ULONG EventConnection::Release() { return container_->Release(); }

HRESULT EventConnection::GetConnectionInterface(IID* id) {
    if (!id) return E_POINTER;
    *id = kEventsInterfaceId;
    return S_OK;
}

HRESULT EventConnection::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (!container) return E_POINTER;
    *container = container_;
    container_->AddRef();
    return S_OK;
}

HRESULT EventConnection::Advise(IUnknown* sink, DWORD* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    IDispatch* dispatch = nullptr;
    // Sinks implement the event dispinterface; plain IDispatch sinks serve too.
    if (FAILED(sink->QueryInterface(kEventsInterfaceId, reinterpret_cast<void**>(&dispatch))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
        return CONNECT_E_CANNOTCONNECT;
    try {
        sinks_.push_back(Sink{nextCookie_, dispatch});
    } catch (...) {
        dispatch->Release();
        return E_OUTOFMEMORY;
    }
    *cookie = nextCookie_++;
    return S_OK;
}

HRESULT EventConnection::Unadvise(DWORD cookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->cookie == cookie) {
            IDispatch* dispatch = it->dispatch;
            sinks_.erase(it);
            dispatch->Release();
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT EventConnection::EnumConnections(IEnumConnections** connections) {
    if (!connections) return E_POINTER;
    try {
        std::vector<CONNECTDATA> list;
        for (const Sink& sink : sinks_) list.push_back(CONNECTDATA{sink.dispatch, sink.cookie});
        return NewConnectionEnumerator(list, connections);
    } catch (...) {
        *connections = nullptr;
        return E_OUTOFMEMORY;
    }
}

void EventConnection::Fire(DISPID event, const VARIANT* arguments, UINT count) {
    std::vector<Sink> targets;
    std::vector<VARIANT> reversed;
    try {
        targets = sinks_;
        reversed.assign(arguments, arguments + count);
    } catch (...) {
        return;  // out of memory: the event is lost, not the process
    }
    for (const Sink& sink : targets) sink.dispatch->AddRef();
    // The caller keeps the argument values alive; the copies share them.
    for (UINT i = 0; i < count; ++i) reversed[i] = arguments[count - 1 - i];
    DISPPARAMS params{count ? reversed.data() : nullptr, nullptr, count, 0};
    for (const Sink& sink : targets) {
        VARIANT result;
        VariantInit(&result);
        sink.dispatch->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                              &result, nullptr, nullptr);
        VariantClear(&result);
    }
    for (const Sink& sink : targets) sink.dispatch->Release();
}

void EventConnection::DisconnectAll() {
    std::vector<Sink> dropped;
    dropped.swap(sinks_);
    for (const Sink& sink : dropped) sink.dispatch->Release();
}

}  // namespace kelpo::control
