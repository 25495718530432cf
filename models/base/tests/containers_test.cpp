// Bounded arrays and linked lists.
#include <gtest/gtest.h>

#include <vector>

#include "models/base/Containers.h"
#include "models/base/Parametres.h"

namespace {

template <class L>
std::vector<int> Values(const L& l)
{
    std::vector<int> v;
    for (auto* p = l.First(); p; p = p->next) v.push_back(p->value);
    return v;
}

std::string MessageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.Message;
    }
    return "(no exception)";
}

struct Counting {
    static int alive;
    int v = 0;
    Counting() { ++alive; }
    Counting(const Counting& o) : v(o.v) { ++alive; }
    Counting& operator=(const Counting&) = default;
    ~Counting() { --alive; }
};
int Counting::alive = 0;

} // namespace

TEST(TArray, CapacityMinusOneAndExactMessages)
{
    TArray5<int> a;
    for (int i = 0; i < 4; ++i) a.Add(i * 10);
    EXPECT_EQ(MessageOf([&] { a.Add(99); }), "Переполнение массива5");
    EXPECT_EQ(MessageOf([&] { a.AddNew(); }), "Переполнение массива5");
    EXPECT_EQ(a.Count(), 4u);
    EXPECT_EQ(*a.Get(3), 30);
    EXPECT_EQ(MessageOf([&] { a.Get(4); }), "Индекс вне диапазона5");
    TArray10<int> empty;
    EXPECT_EQ(MessageOf([&] { empty.Last(); }), "Массив пуст10");
}

TEST(TArray, ClearKeepsSlotsAndAddNewReusesThem)
{
    TArray10<int> a;
    a.Add(7);
    a.Add(8);
    a.Clear();
    EXPECT_EQ(a.Count(), 0u);
    a.AddNew();
    EXPECT_EQ(a.Last(), 7);
}

TEST(TArray, ConstructsAndDestroysEverySlot)
{
    Counting::alive = 0;
    {
        auto* a = new TArray300<Counting>;
        EXPECT_EQ(Counting::alive, 300);
        delete a;
    }
    EXPECT_EQ(Counting::alive, 0);
}

TEST(DlList, InsertMoveReverseRemove)
{
    dllist<int> l;
    l.Append(1);
    auto* n2 = l.Append(2);
    auto* n3 = l.Append(3);
    l.InsertAfter(0, nullptr);
    EXPECT_EQ(Values(l), (std::vector<int>{0, 1, 2, 3}));
    l.Move(n3, nullptr);
    EXPECT_EQ(Values(l), (std::vector<int>{3, 0, 1, 2}));
    l.Move(n2, n2);
    EXPECT_EQ(Values(l), (std::vector<int>{3, 0, 1, 2}));
    l.Move(n3, n2);
    EXPECT_EQ(Values(l), (std::vector<int>{0, 1, 2, 3}));
    l.Reverse();
    EXPECT_EQ(Values(l), (std::vector<int>{3, 2, 1, 0}));
    l.Reverse();
    EXPECT_EQ(Values(l), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(l.Last()->value, 3);

    dllist<int> other;
    auto* foreign = other.Append(42);
    l.Remove(foreign);
    l.Move(foreign, nullptr);
    EXPECT_EQ(Values(l), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(Values(other), (std::vector<int>{42}));
    l.Remove(nullptr);
    l.Remove(n2);
    EXPECT_EQ(Values(l), (std::vector<int>{0, 1, 3}));

    dllist<int> empty;
    empty.Reverse();
    EXPECT_EQ(empty.First(), nullptr);
}

TEST(DlList, AssignAndCopy)
{
    dllist<int> a, b;
    a.Append(5);
    b.Append(1);
    b.Append(2);
    a.Assign(b);
    EXPECT_EQ(Values(a), (std::vector<int>{1, 2}));
    dllist<int> c(b);
    b.Clear();
    EXPECT_EQ(Values(c), (std::vector<int>{1, 2}));
}
