// The package's one exported registration function.
int SampleLength();
extern "C" __attribute__((visibility("default"))) int RegisterSamplePackage() { return SampleLength(); }
