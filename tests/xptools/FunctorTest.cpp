#include "xptools/Functor.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class Accumulator {
public:
    explicit Accumulator(int start) : m_Total(start) {}

    int Add(int value) { return m_Total += value; }
    // Same body as Add: a distinct method must still give a distinct functor.
    int AddAgain(int value) { return m_Total += value; }
    int Get() const { return m_Total; }
    void Append(std::string& text) const { text += std::to_string(m_Total); }
    const int* AddressOf(const int& value) const { return &value; }
    int Take(std::unique_ptr<int> value) { return m_Total += *value; }

private:
    int m_Total;
};

class Shape {
public:
    virtual ~Shape() = default;
    virtual std::string Name() const { return "shape"; }
    int Sides() { return m_Sides; }

protected:
    int m_Sides = 0;
};

class Square : public Shape {
public:
    Square() { m_Sides = 4; }
    std::string Name() const override { return "square"; }
};

int g_Calls = 0;
bool CountCall() {
    return ++g_Calls > 0;
}
int Twice(int value) {
    return 2 * value;
}
int Thrice(int value) {
    return 3 * value;
}

TEST(FunctorTest, BoundMethodsCallTheirObject) {
    Accumulator acc(10);
    XP::CFunctor<int(int)> add =
        XP::INTERNAL::GetFunctorFactory(&Accumulator::Add).Bind<&Accumulator::Add>(&acc);
    EXPECT_EQ(13, add(3));
    EXPECT_EQ(20, add(7));

    XP::CFunctor<int()> get =
        XP::INTERNAL::GetFunctorFactory(&Accumulator::Get).Bind<&Accumulator::Get>(&acc);
    EXPECT_EQ(20, get());

    const Accumulator& constAcc = acc;
    XP::CFunctor<void(std::string&)> append = XP::MakeFunctor<&Accumulator::Append>(&constAcc);
    std::string text = "total=";
    append(text);
    EXPECT_EQ("total=20", text);  // reference argument reached the caller's string

    // Arguments pass through without copies, move-only ones included.
    int value = 5;
    EXPECT_EQ(&value, XP::MakeFunctor<&Accumulator::AddressOf>(&acc)(value));
    EXPECT_EQ(27, XP::MakeFunctor<&Accumulator::Take>(&acc)(std::make_unique<int>(7)));

    // A base's methods dispatch on the object.
    Square square;
    EXPECT_EQ("square", XP::MakeFunctor<&Shape::Name>(&square)());
    EXPECT_EQ(4, XP::MakeFunctor<&Shape::Sides>(&square)());
}

TEST(FunctorTest, FreeFunctionsBindWithoutAnObject) {
    g_Calls = 0;
    XP::CFunctor<bool()> body = XP::INTERNAL::GetFunctorFactory(&CountCall).Bind<&CountCall>();
    XP::CFunctor<bool()> copy = body;
    EXPECT_TRUE(body());
    EXPECT_TRUE(copy());
    EXPECT_EQ(2, g_Calls);
    EXPECT_EQ(14, XP::MakeFunctor<&Twice>()(7));
}

TEST(FunctorTest, EqualWhenSameTargetAndSameObject) {
    Accumulator first(0);
    Accumulator second(0);
    auto add1 = XP::MakeFunctor<&Accumulator::Add>(&first);
    XP::CFunctor<int(int)> copy = add1;

    EXPECT_TRUE(add1 == XP::MakeFunctor<&Accumulator::Add>(&first));
    EXPECT_TRUE(add1 == copy);
    EXPECT_TRUE(add1 != XP::MakeFunctor<&Accumulator::Add>(&second));
    EXPECT_TRUE(add1 != XP::MakeFunctor<&Accumulator::AddAgain>(&first));
    EXPECT_TRUE(XP::MakeFunctor<&Twice>() == XP::MakeFunctor<&Twice>());
    EXPECT_TRUE(XP::MakeFunctor<&Twice>() != XP::MakeFunctor<&Thrice>());
    EXPECT_TRUE(XP::CFunctor<int(int)>() == XP::CFunctor<int(int)>());
    EXPECT_TRUE(XP::CFunctor<int(int)>() != add1);
}

TEST(FunctorTest, EmptyFunctorDoesNothing) {
    XP::CFunctor<int(int)> empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_FALSE(empty);
    EXPECT_EQ(0, empty(5));
    XP::CFunctor<void()>()();

    Accumulator acc(0);
    XP::CFunctor<int(int)> bound = XP::MakeFunctor<&Accumulator::Add>(&acc);
    EXPECT_TRUE(bound);
    bound = XP::CFunctor<int(int)>();
    EXPECT_TRUE(bound.IsEmpty());
    EXPECT_EQ(0, bound(3));
    EXPECT_EQ(0, acc.Get());
}

}  // namespace
