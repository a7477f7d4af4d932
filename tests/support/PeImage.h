// Reads the subsystem and the import and export tables of a PE file from disk.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct PeTables {
    bool valid = false;
    bool is64 = false;
    unsigned short subsystem = 0;  // IMAGE_SUBSYSTEM_*
    std::vector<std::string> importedDlls;
    std::vector<std::string> exportedNames;
    std::vector<unsigned long> exportedRvas;  // the address of each name's entry, in the same order
};

PeTables ReadPeTables(const std::string& path);

}  // namespace testing_support
