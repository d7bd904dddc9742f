// Event subscribers: the interface an event calls, and its two binders, one
// around a free function and one around an object with a member function.
// Subscribing code creates a binder with new and hands it to the event, which
// owns it from then on.
#pragma once

namespace GUI {

class EventArgs;

template <class R, class A> class SubscriberInterface {
public:
    virtual R invoke(A args) = 0;
    virtual ~SubscriberInterface() = default;
};

template <class R, class A> class _freeBinder : public SubscriberInterface<R, A> {
public:
    using Function = R (*)(A);

    explicit _freeBinder(Function function) : m_function(function) {}

    R invoke(A args) override { return m_function(args); }

private:
    Function m_function;
};

template <class C, class R, class A> class _memberBinder : public SubscriberInterface<R, A> {
public:
    using Method = R (C::*)(A);

    _memberBinder(C* object, Method method) : m_object(object), m_method(method) {}

    R invoke(A args) override { return (m_object->*m_method)(args); }

private:
    C* m_object;
    Method m_method;
};

// What widget events take.
using Subscriber = SubscriberInterface<bool, const EventArgs&>;

} // namespace GUI
