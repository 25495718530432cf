// Loads the package and calls its registration function; exit code 0 when it answers.
#include <dlfcn.h>

#include <cstdio>

int main()
{
    void* lib = dlopen(PACKAGE_FILE, RTLD_NOW);
    if (!lib) {
        std::printf("%s\n", dlerror());
        return 1;
    }
    auto* reg = reinterpret_cast<int (*)()>(dlsym(lib, "RegisterSamplePackage"));
    return reg && reg() == 6 ? 0 : 1;
}
