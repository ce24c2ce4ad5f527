// The connection point of the event dispinterface: sinks advise here and
// each event is raised synchronously through IDispatch::Invoke of every
// connected sink, in the order they connected.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <vector>

namespace kelpo::control {

class EventConnection final : public IConnectionPoint {
public:
    // `container` owns this connection point; references to it go there.
    explicit EventConnection(IConnectionPointContainer* container) : container_(container) {}
    ~EventConnection();
    EventConnection(const EventConnection&) = delete;
    EventConnection& operator=(const EventConnection&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* id) override;
    HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

    // `arguments` in the order of the event's parameters (they are passed
    // reversed, as DISPPARAMS wants them). Sinks may disconnect, connect or
    // release the control while an event runs.
    void Fire(DISPID event, const VARIANT* arguments, UINT count);
    // Drops every sink (the control is closing).
    void DisconnectAll();

private:
    struct Sink {
        DWORD cookie;
        IDispatch* dispatch;
    };
    IConnectionPointContainer* container_;
    std::vector<Sink> sinks_;
    DWORD nextCookie_ = 1;
};

}  // namespace kelpo::control
