#include "xptools/Delegate.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace {

using Event_t = XP::CDelegate<void(const std::string&)>;
using Log_t = std::vector<std::string>;

// Records every call as "<name>:<argument>" in a log shared by all subscribers of a test.
class Subscriber {
public:
    Subscriber(std::string name, Log_t* pLog) : m_Name(std::move(name)), m_pLog(pLog) {}

    void OnEvent(const std::string& what) {
        m_pLog->push_back(m_Name + ":" + what);
        if (m_OnCall) {
            auto action = m_OnCall;
            action();
        }
    }

    XP::CFunctor<void(const std::string&)> Handler() {
        return XP::MakeFunctor<&Subscriber::OnEvent>(this);
    }

    // What the subscriber does to the delegate while it is being called.
    std::function<void()> m_OnCall;

private:
    std::string m_Name;
    Log_t* m_pLog;
};

class DelegateTest : public ::testing::Test {
protected:
    void Subscribe(std::initializer_list<Subscriber*> subscribers) {
        for (Subscriber* subscriber : subscribers) {
            m_Event += subscriber->Handler();
        }
    }
    void Unsubscribe(std::initializer_list<Subscriber*> subscribers) {
        for (Subscriber* subscriber : subscribers) {
            m_Event -= subscriber->Handler();
        }
    }
    // Raises once per argument and returns (and clears) what the subscribers logged.
    Log_t Raise(std::initializer_list<const char*> arguments) {
        for (const char* argument : arguments) {
            m_Event(argument);
        }
        Log_t log;
        log.swap(m_Log);
        return log;
    }

    Log_t m_Log;
    Subscriber m_A{"a", &m_Log}, m_B{"b", &m_Log}, m_C{"c", &m_Log};
    Event_t m_Event;
};

TEST_F(DelegateTest, SubscribersAreCalledInTheOrderTheySubscribed) {
    Subscribe({&m_A, &m_B, &m_C});
    EXPECT_EQ(3u, m_Event.GetSize());
    EXPECT_EQ((Log_t{"a:x", "b:x", "c:x", "a:y", "b:y", "c:y"}), Raise({"x", "y"}));
}

TEST_F(DelegateTest, UnsubscribeRemovesOneEqualFunctor) {
    Subscribe({&m_A, &m_B, &m_A});  // no duplicate check: a is called twice
    Unsubscribe({&m_C});            // never added
    EXPECT_EQ(3u, m_Event.GetSize());
    EXPECT_EQ((Log_t{"a:1", "b:1", "a:1"}), Raise({"1"}));

    // The most recent of the two equal entries goes.
    Unsubscribe({&m_A});
    EXPECT_EQ((Log_t{"a:2", "b:2"}), Raise({"2"}));

    Unsubscribe({&m_A, &m_B, &m_B});
    EXPECT_EQ(0u, m_Event.GetSize());
    EXPECT_TRUE(Raise({"3"}).empty());
}

TEST_F(DelegateTest, SubscriberAddedDuringARaiseWaitsForTheNextOne) {
    Subscribe({&m_A, &m_B});
    m_A.m_OnCall = [this]() {
        Subscribe({&m_C});
        m_A.m_OnCall = nullptr;
    };
    EXPECT_EQ((Log_t{"a:1", "b:1"}), Raise({"1"}));
    EXPECT_EQ((Log_t{"a:2", "b:2", "c:2"}), Raise({"2"}));
}

TEST_F(DelegateTest, SubscribersRemovedDuringARaiseAreStillCalledInIt) {
    Subscribe({&m_A, &m_B, &m_C});
    m_A.m_OnCall = [this]() { Unsubscribe({&m_A, &m_B}); };  // itself and the next one
    EXPECT_EQ((Log_t{"a:1", "b:1", "c:1"}), Raise({"1"}));
    EXPECT_EQ((Log_t{"c:2"}), Raise({"2"}));

    // The last one removing everyone and adding one back.
    m_C.m_OnCall = [this]() {
        Unsubscribe({&m_C});
        Subscribe({&m_A});
    };
    EXPECT_EQ((Log_t{"c:3", "a:4"}), Raise({"3", "4"}));
}

TEST_F(DelegateTest, SubscriberMayDestroyTheDelegateDuringARaise) {
    auto event = std::make_unique<Event_t>();
    for (Subscriber* subscriber : {&m_A, &m_B, &m_C}) {
        *event += subscriber->Handler();
    }
    m_B.m_OnCall = [&]() { event.reset(); };
    (*event)("1");
    EXPECT_EQ(nullptr, event);
    EXPECT_EQ((Log_t{"a:1", "b:1", "c:1"}), m_Log);
}

TEST(DelegateLongList, KeepsOrderAndPassesArgumentsToEverySubscriber) {
    // Far beyond any recursion a thread's stack could take, and past the inline snapshot.
    const int count = 200000;
    struct Numbered {
        void OnEvent(std::vector<int>& order, int base) { order.push_back(base + m_Number); }
        int m_Number;
    };
    std::vector<Numbered> subscribers(count);
    XP::CDelegate<void(std::vector<int>&, int)> event;
    for (int i = 0; i < count; ++i) {
        subscribers[i] = Numbered{i};
        event += XP::MakeFunctor<&Numbered::OnEvent>(&subscribers[i]);
    }
    std::vector<int> order;
    event(order, 1000);
    ASSERT_EQ(static_cast<std::size_t>(count), order.size());
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(1000 + i, order[i]) << "at " << i;
    }
}

}  // namespace
