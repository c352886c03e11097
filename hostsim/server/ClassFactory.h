#pragma once

#include <atomic>
#include <functional>

#include "hostsim/server/ComResource.h"

namespace hostsim {

// Class object of a single-instance class: every CreateInstance answers the same object, as
// the host's application object is one per running host. LockServer calls `lock(+1/-1)`.
class SingletonClassFactory final : public IClassFactory {
  public:
    // Holds a reference to `instance`.
    SingletonClassFactory(IUnknown* instance, std::function<void(int)> lock);
    SingletonClassFactory(const SingletonClassFactory&) = delete;
    SingletonClassFactory& operator=(const SingletonClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

  private:
    ~SingletonClassFactory();

    std::atomic<ULONG> references_{1};
    ComPtr<IUnknown> instance_;
    std::function<void(int)> lock_;
};

// Registers a class object with CoRegisterClassObject (local server, multiple use) for the
// lifetime of this value and revokes it at the end.
class ClassRegistration {
  public:
    ClassRegistration(REFCLSID clsid, IUnknown* classObject);
    ~ClassRegistration();
    ClassRegistration(ClassRegistration&& other) noexcept;
    ClassRegistration& operator=(ClassRegistration&&) = delete;
    ClassRegistration(const ClassRegistration&) = delete;
    ClassRegistration& operator=(const ClassRegistration&) = delete;

  private:
    DWORD cookie_ = 0;
};

}  // namespace hostsim
