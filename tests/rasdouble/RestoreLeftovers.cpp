// Run at the end of every test run: puts Wine's own rasapi32.dll and load order back when a test
// that installed the double ended without doing it itself.

#include "rasdouble/RasDoubleControl.h"

int main() {
    vantaro::rasdouble::Installation::RestoreLeftovers();
    return 0;
}
