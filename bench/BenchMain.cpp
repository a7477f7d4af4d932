// mirelunde_bench: prints one table per measure, each with its ratio to a baseline of the same run,
// and ends with one line per target.
#include "bench/Figures.h"
#include "bench/Measures.h"
#include "tests/support/RegistrySandbox.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc > 1 && std::strncmp(argv[1], "--", 2) == 0) {
        const int code = bench::RunPumpChild(argc, argv);
        return code != -1 ? code : bench::RunHookHolder(argc, argv);
    }
    // Measures may be named to run only those: hooks, attach, footprint, pump, companion.
    auto wanted = [&](const char* name) {
        if (argc == 1) return true;
        for (int i = 1; i < argc; ++i)
            if (std::strcmp(argv[i], name) == 0) return true;
        return false;
    };

    std::printf("Mirelunde benchmark, %s\n", sizeof(void*) == 8 ? "x64" : "x86");
    // The in-process measures read and write settings only in scratch keys.
    using testing_support::RegistrySandbox;
    if (!RegistrySandbox::Install()) {
        std::fprintf(stderr, "cannot redirect the registry to scratch keys\n");
        return 1;
    }
    if (wanted("hooks")) bench::MeasureHookCalls();
    if (wanted("attach")) bench::MeasureAttach();
    if (wanted("footprint")) bench::MeasureFootprint();
    RegistrySandbox::Remove();
    // The pumping process reads the hook handles this process publishes in the real settings key.
    // This process takes no messages, so no global hook brings a library into it.
    if (wanted("pump")) bench::MeasurePump();
    if (wanted("companion")) bench::MeasureCompanion();
    bench::PrintTargets();
    return 0;
}
