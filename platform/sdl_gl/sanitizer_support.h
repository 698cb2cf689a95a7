#pragma once

// Under AddressSanitizer, keeps every library loaded so far mapped until the
// process ends. The OpenGL driver (Mesa's, dlopened by the GL loader) is
// unloaded when the window's display closes, before the leak check runs at
// exit; a leak inside it is then reported from an "<unknown module>" that no
// suppression can name, and the run fails. Pinned, the driver's leaks carry
// its name and the suppressions for system libraries apply. Does nothing in
// other builds.
void KeepLoadedLibrariesForLeakReports();
