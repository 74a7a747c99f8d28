// LeakSanitizer's suppressions for every program that links the office engine: the UNO runtime
// keeps its type descriptions and their names for the life of the process and never frees them,
// and so does fontconfig, through which the desktop program's widgets find their fonts.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libuno_cppu.so\n"
         "leak:libuno_sal.so\n"
         "leak:libfontconfig.so\n";
}
