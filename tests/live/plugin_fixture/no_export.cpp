// A loadable plug-in file that lacks the PTZ export, for the loader's tests.
extern "C" __attribute__((visibility("default"))) int SomethingElse() { return 1; }
