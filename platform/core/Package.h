// What a component package exports to a form designer: one registration function that registers
// the package's classes in its class registry and tells the designer each class with its page.
#pragma once

#define VELO_PACKAGE_EXPORT __attribute__((visibility("default")))

extern "C" {
// Called by a package once for each class it registers.
typedef void (*TPaletteSink)(void* context, const char* page, const char* className);
}
