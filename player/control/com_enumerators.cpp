// One enumerator template serves both enumerator interfaces; items are
// IUnknown-bearing values whose references the enumerator keeps.
#include "player/control/com_enumerators.h"

#include <new>

namespace kelpo::control {

namespace {

IUnknown* UnknownOf(IConnectionPoint* point) { return point; }
IUnknown* UnknownOf(const CONNECTDATA& data) { return data.pUnk; }

template <class Interface, class Item, const IID& kId>
class Enumerator final : public Interface {
public:
    explicit Enumerator(const std::vector<Item>& items, size_t position = 0)
        : items_(items), position_(position) {
        for (const Item& item : items_) UnknownOf(item)->AddRef();
    }
    ~Enumerator() {
        for (const Item& item : items_) UnknownOf(item)->Release();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, kId)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&refs_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* out, ULONG* fetched) override {
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        ULONG done = 0;
        while (done < count && position_ < items_.size()) {
            out[done] = items_[position_++];
            UnknownOf(out[done])->AddRef();
            ++done;
        }
        if (fetched) *fetched = done;
        return done == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        size_t left = items_.size() - position_;
        position_ += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(Interface** out) override {
        if (!out) return E_POINTER;
        *out = new (std::nothrow) Enumerator(items_, position_);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

private:
    LONG refs_ = 1;
    std::vector<Item> items_;
    size_t position_;
};

template <class Interface, class Item, const IID& kId>
HRESULT Create(const std::vector<Item>& items, Interface** out) {
    if (!out) return E_POINTER;
    try {
        *out = new Enumerator<Interface, Item, kId>(items);
        return S_OK;
    } catch (...) {
        *out = nullptr;
        return E_OUTOFMEMORY;
    }
}

}  // namespace

HRESULT NewConnectionPointEnumerator(const std::vector<IConnectionPoint*>& points,
                                     IEnumConnectionPoints** out) {
    return Create<IEnumConnectionPoints, IConnectionPoint*, IID_IEnumConnectionPoints>(points, out);
}

HRESULT NewConnectionEnumerator(const std::vector<CONNECTDATA>& connections,
                                IEnumConnections** out) {
    return Create<IEnumConnections, CONNECTDATA, IID_IEnumConnections>(connections, out);
}

}  // namespace kelpo::control
