#include "app/KeyPresses.h"

std::array<bool, keyCount> KeyPresses::frameKeys(const std::array<bool, keyCount>& held)
{
    std::array<bool, keyCount> keys{};
    for (std::size_t k = 0; k < keyCount; ++k)
        keys[k] = held[k] || pending[k];
    pending.fill(false);
    return keys;
}
