#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/model/Value.h"
#include "hostsim/server/ComResource.h"

namespace hostsim {

// How a member was invoked: a method call (also a property get with arguments), a property
// read, or a property write (whose new value is the last argument).
enum class InvokeKind { Method, PropertyGet, PropertyPut };

// Thrown by a member to answer Invoke with a plain failure HRESULT (no EXCEPINFO), such as
// DISP_E_MEMBERNOTFOUND for a property written that cannot be.
class DispatchError : public std::runtime_error {
  public:
    explicit DispatchError(HRESULT hr) : std::runtime_error("dispatch failure"), hr_(hr) {}
    HRESULT Result() const { return hr_; }

  private:
    HRESULT hr_;
};

// Base of the server's late-bound automation objects: reference counting, QueryInterface for
// IUnknown and IDispatch, GetIDsOfNames through DispidOf and Invoke through InvokeMember.
// Invoke converts the arguments (stored last-to-first in DISPPARAMS) to Values in call order;
// a left-out optional argument at the end is dropped and one in the middle becomes Empty.
// Every exception thrown by a member becomes DISP_E_EXCEPTION with EXCEPINFO filled (source
// "Rhino", description = the message); no exception leaves a COM method.
class AutomationObject : public IDispatch {
  public:
    AutomationObject() = default;
    AutomationObject(const AutomationObject&) = delete;
    AutomationObject& operator=(const AutomationObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id,
                                     REFIID riid,
                                     LCID lcid,
                                     WORD flags,
                                     DISPPARAMS* params,
                                     VARIANT* result,
                                     EXCEPINFO* exception,
                                     UINT* argError) override;

  protected:
    virtual ~AutomationObject() = default;

    // The DISPID of a member name (compared ignoring case), or nothing for an unknown name.
    virtual std::optional<DISPID> DispidOf(std::wstring_view name) const = 0;
    // Runs a member. Throws DispatchError for a plain failure, anything else for an error
    // raised to the caller.
    virtual Variant InvokeMember(DISPID id, InvokeKind kind, const std::vector<Value>& args) = 0;

  private:
    std::atomic<ULONG> references_{1};
};

// True when two names are equal ignoring case (as automation names are compared).
bool SameName(std::wstring_view a, std::wstring_view b);

// Fills EXCEPINFO for an error raised to an automation caller: source "Rhino", the given
// description, scode E_FAIL. Does nothing when `exception` is null.
void FillException(EXCEPINFO* exception, std::string_view description) noexcept;

}  // namespace hostsim
