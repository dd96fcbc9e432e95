#pragma once

#include <type_traits>
#include <utility>

#include "xptools/SharedPtr.h"

namespace XP {

template <typename Signature>
class CFunctor;

// A callable of two words: a plain function that takes the target object untyped, and the target
// wrapped in a non-owning shared pointer. Making, copying and calling one never allocates.
//
// Lifetime: the functor does not keep its target alive; the object must outlive every copy.
//
// Made with
//   XP::INTERNAL::GetFunctorFactory(&Class::Method).Bind<&Class::Method>(pObject)
//   XP::INTERNAL::GetFunctorFactory(&FreeFunction).Bind<&FreeFunction>()
// or the shorter XP::MakeFunctor<&Class::Method>(pObject) and XP::MakeFunctor<&FreeFunction>().
template <typename R, typename... Args>
class CFunctor<R(Args...)> {
public:
    using Func_t = R (*)(const void* pObj, Args... args);

    // An empty functor; calling it does nothing and returns a value-initialised R.
    CFunctor() : m_pFunc(nullptr), m_pObj() {}

    CFunctor(Func_t pFunc, const CSharedPtr<const void>& pObj) : m_pFunc(pFunc), m_pObj(pObj) {}

    R operator()(Args... args) const {
        if (m_pFunc == nullptr) {
            return EmptyResult();
        }
        return m_pFunc(m_pObj.GetRawPtr(), std::forward<Args>(args)...);
    }

    bool IsEmpty() const { return m_pFunc == nullptr; }
    explicit operator bool() const { return m_pFunc != nullptr; }

    // Same wrapper (so the same method or function) on the same object.
    bool operator==(const CFunctor& other) const {
        return m_pFunc == other.m_pFunc && m_pObj == other.m_pObj;
    }
    bool operator!=(const CFunctor& other) const { return !(*this == other); }

private:
    static R EmptyResult() {
        if constexpr (!std::is_void_v<R>) {
            return R();
        }
    }

    Func_t m_pFunc;
    CSharedPtr<const void> m_pObj;
};

namespace INTERNAL {

template <typename Class, typename R, typename... Args>
class CMethodFunctorFactory {
public:
    using Functor_t = CFunctor<R(Args...)>;

    template <R (Class::*Method)(Args...)>
    static Functor_t Bind(Class* pObject) {
        return Functor_t(&Call<Method>, CSharedPtr<const void>(pObject, false));
    }

private:
    // One wrapper per method: the method is a template argument, not data, so the functor stays
    // two words and two functors compare equal exactly when they call the same method.
    template <R (Class::*Method)(Args...)>
    static R Call(const void* pObj, Args... args) {
        Class* pObject = static_cast<Class*>(const_cast<void*>(pObj));
        return (pObject->*Method)(std::forward<Args>(args)...);
    }
};

template <typename Class, typename R, typename... Args>
class CConstMethodFunctorFactory {
public:
    using Functor_t = CFunctor<R(Args...)>;

    template <R (Class::*Method)(Args...) const>
    static Functor_t Bind(const Class* pObject) {
        return Functor_t(&Call<Method>, CSharedPtr<const void>(pObject, false));
    }

private:
    template <R (Class::*Method)(Args...) const>
    static R Call(const void* pObj, Args... args) {
        const Class* pObject = static_cast<const Class*>(pObj);
        return (pObject->*Method)(std::forward<Args>(args)...);
    }
};

template <typename R, typename... Args>
class CFreeFunctorFactory {
public:
    using Functor_t = CFunctor<R(Args...)>;

    template <R (*Function)(Args...)>
    static Functor_t Bind() {
        return Functor_t(&Call<Function>, CSharedPtr<const void>());
    }

private:
    template <R (*Function)(Args...)>
    static R Call(const void* /*pObj*/, Args... args) {
        return Function(std::forward<Args>(args)...);
    }
};

// The argument only carries the types; Bind takes the same pointer again as a template argument.
template <typename Class, typename R, typename... Args>
CMethodFunctorFactory<Class, R, Args...> GetFunctorFactory(R (Class::*)(Args...)) {
    return {};
}

template <typename Class, typename R, typename... Args>
CConstMethodFunctorFactory<Class, R, Args...> GetFunctorFactory(R (Class::*)(Args...) const) {
    return {};
}

template <typename R, typename... Args>
CFreeFunctorFactory<R, Args...> GetFunctorFactory(R (*)(Args...)) {
    return {};
}

}  // namespace INTERNAL

// Shorthands for the factory forms above: MakeFunctor<&Class::Method>(pObject) binds a method
// (const or not) to an object the caller keeps alive, MakeFunctor<&Function>() a free function.
template <auto Method, typename Object>
auto MakeFunctor(Object* pObject) {
    return INTERNAL::GetFunctorFactory(Method).template Bind<Method>(pObject);
}

template <auto Function>
auto MakeFunctor() {
    return INTERNAL::GetFunctorFactory(Function).template Bind<Function>();
}

}  // namespace XP
