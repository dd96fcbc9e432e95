#include "xptools/SharedPtr.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// Counts destructions so a test can tell "freed once" from "never freed" and "freed twice".
struct Counted {
    explicit Counted(int* pDestroyed, int value = 0) : m_pDestroyed(pDestroyed), m_Value(value) {}
    ~Counted() { ++*m_pDestroyed; }
    int* m_pDestroyed;
    int m_Value;
    XP::CSharedPtr<Counted> m_Next;
};

// Base without a virtual destructor: freeing a Derived through it only works if the deleter was
// chosen from the type the pointer was made with.
struct PlainBase {
    int m_Base = 1;
};
struct PlainDerived : PlainBase {
    explicit PlainDerived(int* pDestroyed) : m_pDestroyed(pDestroyed) {}
    ~PlainDerived() { ++*m_pDestroyed; }
    int* m_pDestroyed;
};

TEST(SharedPtrTest, LastCopyFreesTheObjectOnce) {
    int destroyed = 0;
    {
        XP::CSharedPtr<Counted> first(new Counted(&destroyed, 7));
        XP::CSharedPtr<Counted> second(first);
        XP::CSharedPtr<Counted> third;
        third = second;
        first.Reset();
        second.Reset();
        EXPECT_EQ(nullptr, first.GetRawPtr());
        EXPECT_EQ(0, destroyed);
        EXPECT_EQ(7, (*third).m_Value);
    }  // third is dropped; the reset ones hold nothing
    EXPECT_EQ(1, destroyed);

    // A moved-from pointer no longer holds the object.
    XP::CSharedPtr<Counted> source(new Counted(&destroyed));
    XP::CSharedPtr<Counted> moved(std::move(source));
    XP::CSharedPtr<Counted> assigned;
    assigned = std::move(moved);
    EXPECT_FALSE(source);
    EXPECT_FALSE(moved);
    EXPECT_EQ(1, destroyed);
    assigned.Reset();
    EXPECT_EQ(2, destroyed);
}

TEST(SharedPtrTest, NonOwningWrapperNeverFrees) {
    int destroyed = 0;
    Counted local(&destroyed, 3);
    {
        XP::CSharedPtr<Counted> wrapper(&local, false);
        XP::CSharedPtr<Counted> copy(wrapper);
        XP::CSharedPtr<const void> untyped(copy);
        XP::CSharedPtr<Counted> assigned;
        assigned = copy;
        EXPECT_FALSE(assigned.IsOwning());
        EXPECT_EQ(&local, assigned.GetRawPtr());
    }
    EXPECT_EQ(0, destroyed);
}

TEST(SharedPtrTest, ConvertedCopyDestroysTheDerivedObject) {
    int destroyed = 0;
    XP::CSharedPtr<PlainBase> base;
    {
        XP::CSharedPtr<PlainDerived> derived(new PlainDerived(&destroyed));
        base = derived;
        XP::CSharedPtr<const PlainBase> constBase(derived);
        EXPECT_TRUE(constBase == derived);
    }
    EXPECT_EQ(0, destroyed);
    EXPECT_EQ(1, base->m_Base);
    base.Reset();
    EXPECT_EQ(1, destroyed);

    // Owned straight through the base pointer type, made from a derived object.
    XP::CSharedPtr<PlainBase> direct(new PlainDerived(&destroyed));
    direct.Reset();
    EXPECT_EQ(2, destroyed);
}

// An interface: owning or wrapping an object through it must compile (no array of it is ever
// formed) and free the whole object through its virtual destructor.
struct Interface {
    virtual ~Interface() = default;
    virtual int Value() const = 0;
};
struct Implementation : Interface {
    explicit Implementation(int* pDestroyed) : m_pDestroyed(pDestroyed) {}
    ~Implementation() override { ++*m_pDestroyed; }
    int Value() const override { return 5; }
    int* m_pDestroyed;
};

TEST(SharedPtrTest, ObjectOwnedThroughAnInterface) {
    int destroyed = 0;
    Interface* pObject = new Implementation(&destroyed);
    XP::CSharedPtr<Interface> owner(pObject);
    XP::CSharedPtr<const Interface> view(pObject, false);
    EXPECT_EQ(5, view->Value());
    EXPECT_FALSE(view.IsOwning());
    owner.Reset();
    EXPECT_EQ(1, destroyed);
}

TEST(SharedPtrTest, AliasKeepsTheOwnerAlive) {
    int destroyed = 0;
    XP::CSharedPtr<int> value;
    {
        XP::CSharedPtr<Counted> owner(new Counted(&destroyed, 42));
        value = XP::CSharedPtr<int>(owner, &owner->m_Value);
    }
    EXPECT_EQ(0, destroyed);
    EXPECT_EQ(42, *value);
    value.Reset();
    EXPECT_EQ(1, destroyed);
}

TEST(SharedPtrTest, AssignmentAcrossBlocksToItselfAndFromInsideTheOldObject) {
    int destroyedA = 0;
    int destroyedB = 0;
    XP::CSharedPtr<Counted> a(new Counted(&destroyedA, 1));
    XP::CSharedPtr<Counted> b(new Counted(&destroyedB, 2));
    XP::CSharedPtr<Counted> b2(b);

    a = b;  // a's object loses its only holder
    EXPECT_EQ(1, destroyedA);
    XP::CSharedPtr<Counted>& alias = a;
    a = alias;
    EXPECT_EQ(0, destroyedB);
    EXPECT_EQ(2, a->m_Value);

    // Same block, different object pointer: only the pointer changes.
    XP::CSharedPtr<Counted> inner(b, b.GetRawPtr());
    a = inner;
    b.Reset();
    b2.Reset();
    inner.Reset();
    EXPECT_EQ(0, destroyedB);
    a = XP::CSharedPtr<Counted>();
    EXPECT_EQ(1, destroyedB);

    // head = head->m_Next drops the old head, which holds the pointer being assigned from.
    int destroyed = 0;
    XP::CSharedPtr<Counted> head(new Counted(&destroyed));
    head->m_Next = XP::CSharedPtr<Counted>(new Counted(&destroyed));
    Counted* second = head->m_Next.GetRawPtr();
    head = head->m_Next;
    EXPECT_EQ(1, destroyed);
    EXPECT_EQ(second, head.GetRawPtr());
    head.Reset();
    EXPECT_EQ(2, destroyed);
}

int g_ElementsDestroyed = 0;
struct Element {
    ~Element() { ++g_ElementsDestroyed; }
};

TEST(SharedPtrTest, ArrayIsFreedWholeAndIndexed) {
    XP::CSharedPtr<unsigned char[]> bytes(new unsigned char[4]{1, 2, 3, 4});
    XP::CSharedPtr<const unsigned char[]> view(bytes);
    bytes[2] = 9;
    EXPECT_EQ(9, view[2]);
    EXPECT_EQ(4, view[3]);

    g_ElementsDestroyed = 0;
    XP::CSharedPtr<Element[]> owner(new Element[3]);
    XP::CSharedPtr<Element[]> copy(owner);
    owner.Reset();
    EXPECT_EQ(0, g_ElementsDestroyed);
    copy.Reset();
    EXPECT_EQ(3, g_ElementsDestroyed);
}

TEST(SharedPtrTest, NullPointersAndEqualityByObjectPointer) {
    XP::CSharedPtr<Counted> empty;
    XP::CSharedPtr<Counted> fromNull(static_cast<Counted*>(nullptr));
    EXPECT_FALSE(fromNull.IsOwning());
    EXPECT_TRUE(empty == nullptr);
    EXPECT_TRUE(XP::CSharedPtr<Counted>(empty) == fromNull);

    int destroyed = 0;
    Counted local(&destroyed);
    XP::CSharedPtr<Counted> owning(new Counted(&destroyed));
    EXPECT_TRUE(owning == XP::CSharedPtr<Counted>(owning.GetRawPtr(), false));
    EXPECT_TRUE(owning != XP::CSharedPtr<Counted>(&local, false));
    EXPECT_TRUE(owning != nullptr);
}

TEST(SharedPtrTest, CopiesMadeAndDroppedOnManyThreadsFreeOnce) {
    int destroyed = 0;
    XP::CSharedPtr<Counted> shared(new Counted(&destroyed, 5));
    std::vector<std::thread> threads;
    int sums[4] = {};
    for (int t = 0; t < 4; ++t) {
        XP::CSharedPtr<Counted> own(shared);
        threads.emplace_back([own, &sums, t]() {
            for (int i = 0; i < 20000; ++i) {
                XP::CSharedPtr<Counted> copy(own);
                XP::CSharedPtr<const void> untyped(copy);
                sums[t] += copy->m_Value;
            }
        });
    }
    shared.Reset();
    for (std::thread& thread : threads) {
        thread.join();
    }
    threads.clear();  // the lambdas' copies go with the threads
    for (int sum : sums) {
        EXPECT_EQ(5 * 20000, sum);
    }
    EXPECT_EQ(1, destroyed);
}

}  // namespace
