// An instrumented function with a global, as every library of ours has.
#include <string>

static std::string greeting = "Sample";
int SampleLength() { return static_cast<int>(greeting.size()); }
