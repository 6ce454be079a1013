// The chooser of a file's decoder by its name, and the name as it is shown.
#include <string>

#include "fuzz/FuzzInput.h"
#include "host/decode/FileKinds.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input(data, size);
    const std::string name(reinterpret_cast<const char*>(data), size);
    host::FileNumbers numbers;
    std::string error;
    const host::FileKind* kind = host::chooseFileKind(name, numbers, error);
    volatile std::size_t used = host::printableName(name).size() + error.size() +
                                (kind != nullptr ? kind->bytesRead(numbers, {}) : 0);
    (void)used;
    return 0;
}
