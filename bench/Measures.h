// The benchmark's four measures; each prints its tables.
#pragma once

namespace bench {

// 1: the hook procedures called in process on real windows, against a bare and a floor procedure.
void MeasureHookCalls();
// 3 and 4: loading and unloading the library, its registry calls at attach, its size, the memory
// a process gains and the import table.
void MeasureAttach();
void MeasureFootprint();
// 2: a process posting, sending and pumping messages under no hook, do-nothing hooks and Mirelunde's
// hooks. Needs the real registry: the pumping process reads the published hook handles there.
void MeasurePump();
// The benchmark's helper process, the one that pumps.
int RunPumpChild(int argc, char** argv);
// 5: the pumping process under the 64-bit pair with and without the 32-bit pair before it, as the
// 64-bit launcher installs them with and without its companion. Needs the real registry and the
// other architecture's build beside this one.
void MeasureCompanion();
// The helper that holds the other architecture's pair for measure 5.
int RunHookHolder(int argc, char** argv);

// Settings as the running launcher leaves them, in the (redirected) registry of this process.
void WriteTypicalSettings();

}  // namespace bench
