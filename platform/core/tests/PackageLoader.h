// Loads a component package as a form designer does and collects the classes it registers, by page.
#pragma once
#include <dlfcn.h>

#include <map>
#include <string>

#include "platform/core/Package.h"

struct TLoadedPackage {
    std::map<std::string, std::string> pageOf; // class name -> palette page
    std::string error;                         // empty when loading and registration worked

    TLoadedPackage(const char* file, const char* registration)
    {
        void* lib = dlopen(file, RTLD_NOW | RTLD_LOCAL);
        if (!lib) { error = dlerror(); return; }
        auto reg = reinterpret_cast<void (*)(TPaletteSink, void*)>(dlsym(lib, registration));
        if (!reg) { error = std::string("no ") + registration; return; }
        reg([](void* self, const char* page, const char* name) {
                static_cast<TLoadedPackage*>(self)->pageOf[name] = page;
            }, this);
    }
};
