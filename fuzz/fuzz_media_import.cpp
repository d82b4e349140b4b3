// Arbitrary bytes as a sound file: the import must return an error or a sound, never crash.
#include "Platform/pMediaImport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    char* data = nullptr;
    double duration = 0.0;
    int error = pMediaImport::importSoundMemory(bytes, size, 44100, &data, &duration);
    if (error == 0 && data) {
        long offset = 0;
        if (pMediaImport::getSoundHeaderOffset(data, &offset) != 0)
            __builtin_trap();
        const auto* header = reinterpret_cast<const pMediaImport::pSoundHeader*>(data + offset);
        // Touch every sample so a short block shows up under ASan.
        volatile float sum = 0;
        for (uint32_t i = 0; i < header->frameCount * 2; ++i)
            sum = sum + header->samples()[i];
        if (duration < 0)
            __builtin_trap();
    }
    pMediaImport::disposeSoundData(data);
    return 0;
}
