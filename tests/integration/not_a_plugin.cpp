// A library that loads but is no plug-in: it lacks GetPluginIntfVersion.
#if defined(_WIN32)
#define EXPORT __declspec(dllexport)
#else
#define EXPORT __attribute__((visibility("default")))
#endif

extern "C" EXPORT int NotAPluginFunction() { return 1; }
