#include "platform/sdl_gl/sanitizer_support.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVELUNE_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ORVELUNE_ASAN 1
#endif

#if defined(ORVELUNE_ASAN) && defined(__linux__)
#include <dlfcn.h>
#include <link.h>

void KeepLoadedLibrariesForLeakReports() {
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void*) {
        // The program itself and the vDSO have no file name to open.
        if (info->dlpi_name && info->dlpi_name[0] == '/') {
          // RTLD_NOLOAD only marks a library that is already loaded;
          // RTLD_NODELETE makes its later dlclose leave it mapped.
          dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        }
        return 0;
      },
      nullptr);
}
#else
void KeepLoadedLibrariesForLeakReports() {}
#endif
