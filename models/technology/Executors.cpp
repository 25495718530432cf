// Executors and the table of the configured ones.
#include "models/technology/Executors.h"

#include "platform/core/CFormat.h"

void TExecutor::SetScill(const AnsiString& text)
{
    scill = text;
    codes = {};
    SScanf(text.c_str(), "%d%d%d%d%d", &codes[0], &codes[1], &codes[2], &codes[3], &codes[4]);
}

bool TExecutor::CanExec(int k) const
{
    for (int c : codes)
        if (c == k) return true;
    return false;
}

TExecutors::TExecutors()
{
    for (auto& e : items) e = std::make_unique<TExecutor>();
}

TExecutors::TExecutors(const TExecutors& o) : TExecutors() { Assign(o); }

TExecutors& TExecutors::operator=(const TExecutors& o)
{
    Assign(o);
    return *this;
}

TExecutor* TExecutors::operator[](int i) const
{
    if (i < 0 || i >= kCount) return nullptr;
    return items[static_cast<size_t>(i)].get();
}

void TExecutors::Set(int i, const TExecutor& e)
{
    if (TExecutor* own = (*this)[i]) {
        own->Number = e.Number;
        own->ExecName = e.ExecName;
        own->Release = e.Release;
        own->SetScill(e.Scill());
    }
}

void TExecutors::Assign(const TExecutors& o)
{
    if (this == &o) return;
    for (int i = 0; i < kCount; ++i) Set(i, *o[i]);
}
