// A plain shared library. If anything ever loads it, its constructor leaves a
// marker file behind, so a test can tell that it was (or was not) loaded.

#include <cstdio>
#include <cstdlib>

namespace {

__attribute__((constructor)) void leaveMarker()
{
    if (const char* marker = std::getenv("TQ_NATIVE_LIBRARY_MARKER")) {
        if (std::FILE* file = std::fopen(marker, "w"))
            std::fclose(file);
    }
}

} // namespace

extern "C" int sampleNativeLibraryValue()
{
    return 42;
}
