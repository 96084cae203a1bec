// leak_suppressions.cpp: what the leak checker must not report.
//
// The kernel's STEP translator registers its parameters once per process
// in static tables that are never released (STEPControl_Controller::Init),
// and the font library keeps the patterns of the fonts cairo looked up for
// the life of the process.  Those libraries are built without frame
// pointers, so the checker sees only the allocating library; the
// suppressions name those.  Leaks of our own objects keep their own frames
// and are still reported.
extern "C" const char *__lsan_default_suppressions();

extern "C" __attribute__((visibility("default"), used)) const char *__lsan_default_suppressions() {
  return "leak:libTKernel.so\n"
         "leak:libTKXSBase.so\n"
         "leak:libTKSTEP.so\n"
         "leak:libfontconfig.so\n";
}
