#include "hostsim/server/ClassFactory.h"

#include <utility>

namespace hostsim {

SingletonClassFactory::SingletonClassFactory(IUnknown* instance, std::function<void(int)> lock)
    : lock_(std::move(lock)) {
    instance->AddRef();
    instance_ = ComPtr<IUnknown>::Adopt(instance);
}

SingletonClassFactory::~SingletonClassFactory() = default;

HRESULT SingletonClassFactory::QueryInterface(REFIID riid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG SingletonClassFactory::AddRef() {
    return ++references_;
}

ULONG SingletonClassFactory::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT SingletonClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer) {
        return CLASS_E_NOAGGREGATION;
    }
    return instance_->QueryInterface(riid, object);
}

HRESULT SingletonClassFactory::LockServer(BOOL lock) {
    try {
        if (lock_) {
            lock_(lock ? 1 : -1);
        }
    } catch (...) {
        return E_UNEXPECTED;
    }
    return S_OK;
}

ClassRegistration::ClassRegistration(REFCLSID clsid, IUnknown* classObject) {
    ThrowIfFailed(CoRegisterClassObject(clsid, classObject, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie_),
                  "CoRegisterClassObject");
}

ClassRegistration::~ClassRegistration() {
    if (cookie_ != 0) {
        // Failure means the registration is already gone; nothing is left to undo.
        (void)CoRevokeClassObject(cookie_);
    }
}

ClassRegistration::ClassRegistration(ClassRegistration&& other) noexcept : cookie_(std::exchange(other.cookie_, 0)) {}

}  // namespace hostsim
