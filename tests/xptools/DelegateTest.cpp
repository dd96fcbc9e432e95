#include "xptools/Delegate.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Event_t = XP::CDelegate<void(const std::string&)>;
using Handler_t = XP::CFunctor<void(const std::string&)>;

// Records every call as "<name>:<argument>" in a log shared by all subscribers of a test.
class Subscriber {
public:
    Subscriber(std::string name, std::vector<std::string>* pLog)
        : m_Name(std::move(name)), m_pLog(pLog) {}

    void OnEvent(const std::string& what) {
        m_pLog->push_back(m_Name + ":" + what);
        if (m_OnCall) {
            auto action = m_OnCall;
            action();
        }
    }

    Handler_t Handler() { return XP::MakeFunctor<&Subscriber::OnEvent>(this); }

    // What the subscriber does to the delegate while it is being called.
    std::function<void()> m_OnCall;

private:
    std::string m_Name;
    std::vector<std::string>* m_pLog;
};

using Log_t = std::vector<std::string>;

TEST(DelegateTest, SubscribersAreCalledInTheOrderTheySubscribed) {
    Log_t log;
    Subscriber a("a", &log), b("b", &log), c("c", &log);
    Event_t event;
    event += a.Handler();
    event += b.Handler();
    event += c.Handler();
    EXPECT_EQ(3u, event.GetSize());

    event("x");
    event("y");
    EXPECT_EQ((Log_t{"a:x", "b:x", "c:x", "a:y", "b:y", "c:y"}), log);
}

TEST(DelegateTest, UnsubscribeRemovesOneEqualFunctor) {
    Log_t log;
    Subscriber a("a", &log), b("b", &log), never("never", &log);
    Event_t event;
    event += a.Handler();
    event += b.Handler();
    event += a.Handler();  // no duplicate check: a is called twice

    event -= never.Handler();
    EXPECT_EQ(3u, event.GetSize());
    event("1");
    EXPECT_EQ((Log_t{"a:1", "b:1", "a:1"}), log);

    // The most recent of the two equal entries goes.
    log.clear();
    event -= a.Handler();
    EXPECT_EQ(2u, event.GetSize());
    event("2");
    EXPECT_EQ((Log_t{"a:2", "b:2"}), log);

    log.clear();
    event -= a.Handler();
    event -= b.Handler();
    event -= b.Handler();
    EXPECT_EQ(0u, event.GetSize());
    event("3");
    EXPECT_TRUE(log.empty());
}

TEST(DelegateTest, SubscriberAddedDuringARaiseWaitsForTheNextOne) {
    Log_t log;
    Subscriber a("a", &log), b("b", &log), late("late", &log);
    Event_t event;
    event += a.Handler();
    event += b.Handler();
    a.m_OnCall = [&]() {
        event += late.Handler();
        a.m_OnCall = nullptr;
    };

    event("1");
    EXPECT_EQ((Log_t{"a:1", "b:1"}), log);
    log.clear();
    event("2");
    EXPECT_EQ((Log_t{"a:2", "b:2", "late:2"}), log);
}

TEST(DelegateTest, SubscribersRemovedDuringARaiseAreStillCalledInIt) {
    Log_t log;
    Subscriber a("a", &log), b("b", &log), c("c", &log);
    Event_t event;
    event += a.Handler();
    event += b.Handler();
    event += c.Handler();
    // a removes itself and the next one.
    a.m_OnCall = [&]() {
        event -= a.Handler();
        event -= b.Handler();
    };

    event("1");
    EXPECT_EQ((Log_t{"a:1", "b:1", "c:1"}), log);
    EXPECT_EQ(1u, event.GetSize());
    log.clear();
    event("2");
    EXPECT_EQ((Log_t{"c:2"}), log);
}

TEST(DelegateTest, LastSubscriberRemovingEveryoneDuringARaise) {
    Log_t log;
    Subscriber a("a", &log), b("b", &log);
    Event_t event;
    event += a.Handler();
    event += b.Handler();
    b.m_OnCall = [&]() {
        event -= a.Handler();
        event -= b.Handler();
        event += a.Handler();
    };
    event("1");
    event("2");
    EXPECT_EQ((Log_t{"a:1", "b:1", "a:2"}), log);
}

TEST(DelegateTest, SubscriberMayDestroyTheDelegateDuringARaise) {
    Log_t log;
    Subscriber a("a", &log), b("b", &log), c("c", &log);
    auto event = std::make_unique<Event_t>();
    *event += a.Handler();
    *event += b.Handler();
    *event += c.Handler();
    b.m_OnCall = [&]() { event.reset(); };

    (*event)("1");
    EXPECT_EQ(nullptr, event);
    EXPECT_EQ((Log_t{"a:1", "b:1", "c:1"}), log);
}

TEST(DelegateTest, LongListKeepsOrder) {
    // Far beyond any recursion a thread's stack could take, and past the inline snapshot.
    const int count = 200000;
    std::vector<int> order;
    order.reserve(count);
    struct Numbered {
        void OnEvent(int base) { m_pOrder->push_back(base + m_Number); }
        int m_Number;
        std::vector<int>* m_pOrder;
    };
    std::vector<Numbered> subscribers(count);
    XP::CDelegate<void(int)> event;
    for (int i = 0; i < count; ++i) {
        subscribers[i] = Numbered{i, &order};
        event += XP::MakeFunctor<&Numbered::OnEvent>(&subscribers[i]);
    }
    event(1000);
    ASSERT_EQ(static_cast<std::size_t>(count), order.size());
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(1000 + i, order[i]) << "at " << i;
    }
}

TEST(DelegateTest, ArgumentsReachEverySubscriber) {
    struct Summer {
        void Add(int& total, int value) { total += value * m_Weight; }
        int m_Weight;
    };
    Summer one{1}, ten{10}, hundred{100};
    XP::CDelegate<void(int&, int)> event;
    event += XP::MakeFunctor<&Summer::Add>(&one);
    event += XP::MakeFunctor<&Summer::Add>(&ten);
    event += XP::MakeFunctor<&Summer::Add>(&hundred);
    int total = 0;
    event(total, 3);
    EXPECT_EQ(333, total);
}

}  // namespace
