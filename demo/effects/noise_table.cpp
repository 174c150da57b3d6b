#include "demo/effects/noise_table.hpp"

#include "platform/crt_rand.hpp"

NoiseTable noiseTable;

NoiseTable::NoiseTable() {
    crt::srand(100);
    for (uint32_t& entry : entries) {
        const uint32_t g = uint32_t(crt::rand()) & 0xFF;
        entry = 0xFF000000u | g << 16 | g << 8 | g;
    }
}

int32_t NoiseTable::take(int32_t wanted, const uint32_t*& values) {
    const int32_t run = wanted < count - cursor ? wanted : count - cursor;
    values = entries.data() + cursor;
    cursor += run;
    if (cursor == count)
        cursor = crt::rand() % count;
    return run;
}

uint32_t NoiseTable::next() {
    const uint32_t* value = nullptr;
    take(1, value);
    return *value;
}
