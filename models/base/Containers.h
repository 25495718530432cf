// The system's own containers: TArray, a fixed-capacity array whose storage lives inside the
// object, and dllist, a doubly linked list of heap nodes. Misuse throws Exception.
#pragma once
#include <cassert>
#include <new>
#include <string>

#include "platform/core/Exception.h"

template <class T>
class TArray {
public:
    virtual ~TArray() = default;

    // Count := 0; the elements stay constructed and keep their contents.
    virtual void Clear() { count = 0; }
    virtual T* Get(unsigned int i)
    {
        if (i >= count) Fail("Индекс вне диапазона");
        return &items[i];
    }
    const T* Get(unsigned int i) const { return const_cast<TArray*>(this)->Get(i); }

    unsigned int Count() const { return count; }
    unsigned int Capacity() const { return capacity; }

    // Holds at most capacity - 1 elements.
    T& Add(const T& x)
    {
        if (count >= capacity - 1) Fail("Переполнение массива");
        items[count] = x;
        return items[count++];
    }
    // Takes the next slot without assigning it: the caller fills Last() completely,
    // since the slot keeps whatever it held before.
    TArray& AddNew()
    {
        if (count >= capacity - 1) Fail("Переполнение массива");
        ++count;
        return *this;
    }
    T& Last()
    {
        if (count == 0) Fail("Массив пуст");
        return items[count - 1];
    }

protected:
    TArray(T* storage, unsigned int cap) : items(storage), capacity(cap) {}
    TArray(const TArray&) = delete;
    TArray& operator=(const TArray&) = delete;

    [[noreturn]] void Fail(const char* what) const { throw Exception(std::string(what) + std::to_string(capacity)); }

    T* items;
    unsigned int count = 0;
    unsigned int capacity;
};

template <class T, unsigned int N>
class TArrayN : public TArray<T> {
public:
    TArrayN() : TArray<T>(storage, N) {}
    TArrayN(const TArrayN& o) : TArray<T>(storage, N)
    {
        for (unsigned int i = 0; i < N; ++i) storage[i] = o.storage[i];
        this->count = o.count;
    }
    TArrayN& operator=(const TArrayN& o)
    {
        for (unsigned int i = 0; i < N; ++i) storage[i] = o.storage[i];
        this->count = o.count;
        return *this;
    }

private:
    T storage[N];
};

template <class T> using TArray5 = TArrayN<T, 5>;
template <class T> using TArray10 = TArrayN<T, 10>;
template <class T> using TArray20 = TArrayN<T, 20>;
template <class T> using TArray50 = TArrayN<T, 50>;
template <class T> using TArray100 = TArrayN<T, 100>;
template <class T> using TArray200 = TArrayN<T, 200>;
template <class T> using TArray300 = TArrayN<T, 300>;
template <class T> using TArray500 = TArrayN<T, 500>;

template <class T>
struct listob {
    explicit listob(const T& v) : value(v) {}
    T value;
    listob* next = nullptr;
    listob* prev = nullptr;
};

template <class T>
class dllist {
public:
    dllist() = default;
    dllist(const dllist& o) { dllist::Assign(o); }
    dllist& operator=(const dllist& o)
    {
        if (this != &o) Assign(o);
        return *this;
    }
    virtual ~dllist() { dllist::Clear(); }

    // Puts a copy of value after node (at the front when node is null); returns the new node.
    virtual listob<T>* InsertAfter(T value, listob<T>* node)
    {
        assert(!node || Contains(node));
        listob<T>* n = NewNode(value);
        if (!first) {
            first = last = n;
            return n;
        }
        Link(n, node);
        return n;
    }
    // Unlinks node and links it again after `after` (at the front when null).
    virtual listob<T>* Move(listob<T>* node, listob<T>* after)
    {
        if (node == after || !node || !Contains(node) || (after && !Contains(after))) return node;
        if (node->prev) node->prev->next = node->next; else first = node->next;
        if (node->next) node->next->prev = node->prev; else last = node->prev;
        node->next = node->prev = nullptr;
        if (!first) {
            first = last = node;
            return node;
        }
        Link(node, after);
        return node;
    }
    virtual listob<T>* Append(T value) { return InsertAfter(value, last); }
    virtual void AppendAll(const dllist& other)
    {
        for (listob<T>* p = other.first; p; p = p->next) Append(p->value);
    }
    // A node of another list, or null, changes nothing.
    virtual void Remove(listob<T>* node)
    {
        if (!node || !Contains(node)) return;
        if (node->prev) node->prev->next = node->next; else first = node->next;
        if (node->next) node->next->prev = node->prev; else last = node->prev;
        delete node;
    }
    virtual void Reverse()
    {
        for (listob<T>* p = first; p;) {
            listob<T>* nx = p->next;
            p->next = p->prev;
            p->prev = nx;
            p = nx;
        }
        listob<T>* t = first;
        first = last;
        last = t;
    }
    virtual void Clear()
    {
        listob<T>* p = first;
        while (p) {
            listob<T>* nx = p->next;
            delete p;
            p = nx;
        }
        first = last = nullptr;
    }
    virtual void Assign(const dllist& other)
    {
        if (this == &other) return;
        Clear();
        for (listob<T>* p = other.first; p; p = p->next) Append(p->value);
    }

    listob<T>* First() const { return first; }
    listob<T>* Last() const { return last; }
    bool Contains(const listob<T>* node) const
    {
        for (listob<T>* p = first; p; p = p->next)
            if (p == node) return true;
        return false;
    }
    unsigned int Length() const
    {
        unsigned int n = 0;
        for (listob<T>* p = first; p; p = p->next) ++n;
        return n;
    }

protected:
    static listob<T>* NewNode(const T& v)
    {
        try {
            return new listob<T>(v);
        } catch (const std::bad_alloc&) {
            throw Exception("Ошибка распределения памяти");
        }
    }
    // Links a detached node after `after` (front when null) in a non-empty list.
    void Link(listob<T>* n, listob<T>* after)
    {
        if (!after) {
            n->next = first;
            n->prev = nullptr;
            first->prev = n;
            first = n;
            return;
        }
        n->prev = after;
        n->next = after->next;
        if (after->next) after->next->prev = n; else last = n;
        after->next = n;
    }

    listob<T>* first = nullptr;
    listob<T>* last = nullptr;
};
